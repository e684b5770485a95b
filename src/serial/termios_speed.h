#pragma once
// Baud rates and their termios speed constants (POSIX only).

#include <termios.h>

#include <optional>

namespace qv {

// The termios constant of a baud rate; nothing for a rate termios has no constant for.
std::optional<speed_t> TermiosSpeed(unsigned baud);

}  // namespace qv
