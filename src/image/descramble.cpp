#include "image/descramble.h"

namespace qv {

namespace {
constexpr std::uint16_t kFirstKey = 0x3A6D;
constexpr std::uint16_t kKeyIncrement = 0x2C19;
}  // namespace

void Descramble(std::span<std::uint8_t> buffer) {
    const std::size_t words = buffer.size() / 2;
    std::uint8_t* bytes = buffer.data();
    std::uint16_t key = kFirstKey;
    for (std::size_t i = 0; i < words; ++i) {
        bytes[2 * i] ^= static_cast<std::uint8_t>(key & 0xFF);
        bytes[2 * i + 1] ^= static_cast<std::uint8_t>(key >> 8);
        key = static_cast<std::uint16_t>(key + kKeyIncrement);
    }
}

}  // namespace qv
