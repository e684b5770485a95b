#pragma once
// The radio's region 1 as the write job sees it: a mirror of 0xFFFFF bytes from 0x08010000
// that the sent blocks fill, and the 16-bit sum the checksum frame carries over it. The job
// stores each block as it sends it; the image checks build one from the blocks to tell the
// checksum before any radio is touched.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/hex_record.h"

namespace qv {

inline constexpr std::uint32_t kMirrorBase = 0x08010000;
inline constexpr std::size_t kMirrorSize = 0xFFFFF;
// The checksum frame covers 0x08010000..0x080DFFEF: the last 16 bytes of region 1 are not
// summed by the boot loader.
inline constexpr std::size_t kChecksumBytes = 0xCFFF0;

class ImageMirror {
  public:
    // Every byte 0xFF; offset o stands for address base + o.
    explicit ImageMirror(std::uint32_t base = kMirrorBase);

    void Fill(std::uint8_t value);
    // Stores data at its address; false (nothing stored) when any byte falls outside: the
    // transfer sends no block it cannot mirror.
    bool Store(std::uint32_t address, std::span<const std::uint8_t> data);
    // Stores a block's data bytes from its text; bytes outside the mirror are skipped.
    void StoreBlock(const HexRecord& block);
    // The 16-bit wrapping sum of the first kChecksumBytes bytes, as the checksum frame carries.
    std::uint16_t ChecksumSum() const;
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

  private:
    std::uint32_t base_;
    std::vector<std::uint8_t> bytes_;
};

// The checksum the write job sends after writing these region-1 blocks: unwritten bytes
// count as 0xFF. Blocks that write nothing give 0xF010.
std::uint16_t Region1Checksum(const RecordList& region1Blocks);

// A mirror filled with 0xFF and then with the blocks.
std::vector<std::uint8_t> BuildMirror(const RecordList& blocks, std::uint32_t base = kMirrorBase);

}  // namespace qv
