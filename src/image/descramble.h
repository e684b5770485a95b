#pragma once
// The carried package is stored scrambled; the same routine scrambles and unscrambles it.

#include <cstdint>
#include <span>

namespace qv {

// XORs each little-endian 16-bit word with a running key (0x3A6D, +0x2C19 per word). Its own
// inverse. An odd last byte is left as it is.
void Descramble(std::span<std::uint8_t> buffer);

// The same from source into destination (of the same size), in one pass.
void DescrambleCopy(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination);

}  // namespace qv
