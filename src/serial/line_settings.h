#pragma once
// The line settings text ("9600,N,8,2") read the way the Windows serial services read it.

#include <optional>
#include <string_view>

namespace qv {

struct LineSettings {
    unsigned baud = 0;
    char parity = 'N';  // 'N', 'E' or 'O'
    int dataBits = 8;   // 5 .. 8
    int stopBits = 2;   // 1 or 2
};

// Baud rate in decimal, parity letter N/E/O, data bits 5..8, stop bits 1 or 2, separated by
// commas. Mark and space parity and 1.5 stop bits have no termios form and are refused.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

}  // namespace qv
