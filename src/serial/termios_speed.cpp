#include "serial/termios_speed.h"

#include <array>
#include <utility>

namespace qv {
namespace {

constexpr std::array<std::pair<unsigned, speed_t>, 18> kSpeeds = {{
    {50, B50},
    {75, B75},
    {110, B110},
    {134, B134},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

}  // namespace

std::optional<speed_t> TermiosSpeed(unsigned baud) {
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud) {
            return speed;
        }
    }
    return std::nullopt;
}

}  // namespace qv
