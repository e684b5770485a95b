#include "cli/traffic_trace.h"

#include "cli/console.h"

namespace qv::cli {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

void TrafficTrace::OnTraffic(Direction direction, std::span<const std::uint8_t> data,
                             std::span<const std::uint8_t> wire, std::string_view lineSettings) {
    const auto elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[%10.3f ms] ", elapsed.count());
    std::string line = stamp;
    if (!portLabel_.empty()) {
        line += portLabel_ + " ";
    }
    line += direction == Direction::Sent ? "out " : "in  ";
    line += std::string(lineSettings);
    line += " data: " + HexBytes(data) + " wire: " + HexBytes(wire);
    PrintLine(stream_, line);
}

}  // namespace qv::cli
