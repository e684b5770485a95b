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

std::string TrafficTrace::LineStart() const {
    const auto elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[%10.3f ms] ", elapsed.count());
    std::string line = stamp;
    if (!portLabel_.empty()) {
        line += portLabel_ + " ";
    }
    return line;
}

void TrafficTrace::OnTraffic(Direction direction, std::span<const std::uint8_t> data,
                             std::span<const std::uint8_t> wire, std::string_view lineSettings) {
    std::string line = LineStart();
    line += direction == Direction::Sent ? "out " : "in  ";
    line += std::string(lineSettings);
    line += " data: " + HexBytes(data) + " wire: " + HexBytes(wire);
    PrintLine(stream_, line);
}

void TrafficTrace::OnOpened(std::string_view device, const AdapterLatency& latency) {
    std::string said;
    if (latency.lowLatencyOn) {
        said = "low latency on";
    }
    if (latency.timer) {
        said += std::string(said.empty() ? "" : ", ") + "latency timer " +
                std::to_string(latency.timer->value.count()) + " ms";
    }
    PrintLine(stream_, LineStart() + "open " + std::string(device) + ": " +
                           (said.empty() ? "no latency timer known" : said));
}

}  // namespace qv::cli
