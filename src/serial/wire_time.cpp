#include "serial/wire_time.h"

namespace qv {

std::chrono::nanoseconds CharacterTime(const LineSettings& settings) {
    if (settings.baud == 0) {
        return std::chrono::nanoseconds{0};
    }
    const long long bits =
        1 + settings.dataBits + (settings.parity != 'N' ? 1 : 0) + settings.stopBits;
    return std::chrono::nanoseconds{bits * 1'000'000'000LL / settings.baud};
}

std::chrono::nanoseconds WireTime(const LineSettings& settings, std::size_t count) {
    return CharacterTime(settings) * static_cast<long long>(count);
}

}  // namespace qv
