#pragma once
// How long bytes occupy the line: what a UART needs to shift them out at the line's speed
// and framing. A pseudo-terminal passes bytes on at once; a cable never does.

#include <chrono>
#include <cstddef>

#include "serial/line_settings.h"

namespace qv {

// One character on the wire: start bit, data bits, parity bit (when used), stop bits.
std::chrono::nanoseconds CharacterTime(const LineSettings& settings);

// `count` characters back to back.
std::chrono::nanoseconds WireTime(const LineSettings& settings, std::size_t count);

}  // namespace qv
