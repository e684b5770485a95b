#pragma once
// Builders for the frames of the catalogue. Checksums are over the unmasked data; the link
// masks the whole frame when it writes it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qv {

inline constexpr std::size_t kMaxBlockData = 256;
inline constexpr std::size_t kBlockFrameOverhead = 7;
inline constexpr std::size_t kMaxBlockFrame = kMaxBlockData + kBlockFrameOverhead;  // 263

// lead, address (big-endian), length mod 256, data, 8-bit sum. Returns the frame length;
// 0 (nothing built) for more than kMaxBlockData bytes.
std::size_t BuildBlockFrame(std::uint8_t lead, std::uint32_t address,
                            std::span<const std::uint8_t> data,
                            std::array<std::uint8_t, kMaxBlockFrame>& frame);

// 'R' and the area number as two decimal digits.
std::array<std::uint8_t, 3> BuildAreaCommand(int area);

// 0x0F and the speed code.
std::array<std::uint8_t, 2> BuildSpeedChangeCommand(std::uint8_t speedCode);

// The parts of the checksum frame: 0xF3, first address, last address, 16-bit sum (high first).
struct ChecksumFrame {
    std::uint8_t lead;
    std::array<std::uint8_t, 4> first;
    std::array<std::uint8_t, 4> last;
    std::array<std::uint8_t, 2> sum;
};
ChecksumFrame BuildChecksumFrame(std::uint16_t sum);

}  // namespace qv
