#pragma once
// The radio's region 1 as the write job sees it: a mirror of 0xFFFFF bytes from 0x08010000
// that the sent blocks fill, and the 16-bit sum the checksum frame carries over it.

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

// Stores every data byte of the blocks at offset address - base; bytes outside the mirror
// are skipped. The mirror is not filled first: the caller sets it to 0xFF.
void StoreBlocksInMirror(const RecordList& blocks, std::span<std::uint8_t> mirror,
                         std::uint32_t base = kMirrorBase);

// Stores one block's data bytes, as the transfer worker does after sending it.
void StoreBlockInMirror(const HexRecord& block, std::span<std::uint8_t> mirror,
                        std::uint32_t base = kMirrorBase);

// The sum of the mirror's first kChecksumBytes bytes, wrapping at 16 bits.
std::uint16_t MirrorChecksum(std::span<const std::uint8_t> mirror);

// The checksum the write job sends after writing these region-1 blocks: unwritten bytes
// count as 0xFF. Blocks that write nothing give 0xF010.
std::uint16_t Region1Checksum(const RecordList& region1Blocks);

// A mirror filled with 0xFF and then with the blocks.
std::vector<std::uint8_t> BuildMirror(const RecordList& blocks, std::uint32_t base = kMirrorBase);

}  // namespace qv
