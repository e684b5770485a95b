#include "image/descramble.h"

#include <algorithm>

namespace qv {

namespace {
constexpr std::uint16_t kFirstKey = 0x3A6D;
constexpr std::uint16_t kKeyIncrement = 0x2C19;
}  // namespace

void DescrambleCopy(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination) {
    const std::size_t length = std::min(source.size(), destination.size());
    const std::size_t words = length / 2;
    const std::uint8_t* in = source.data();
    std::uint8_t* out = destination.data();
    std::uint16_t key = kFirstKey;
    for (std::size_t i = 0; i < words; ++i) {
        out[2 * i] = static_cast<std::uint8_t>(in[2 * i] ^ (key & 0xFF));
        out[2 * i + 1] = static_cast<std::uint8_t>(in[2 * i + 1] ^ (key >> 8));
        key = static_cast<std::uint16_t>(key + kKeyIncrement);
    }
    if (length % 2 != 0) {
        out[length - 1] = in[length - 1];  // an odd last byte is left as it is
    }
}

void Descramble(std::span<std::uint8_t> buffer) {
    DescrambleCopy(buffer, buffer);
}

}  // namespace qv
