#pragma once
// The checks that decide whether a package belongs to this model family, and the two labels
// taken from it.

#include <array>
#include <cstdint>

#include "image/hex_record.h"

namespace qv {

// Gathers the 64 bytes at target from the blocks: from the first block that holds target,
// continued only by blocks that start where the bytes gathered so far end. 0 or 1.
int GatherArea(const RecordList& blocks, std::uint32_t target, std::array<std::uint8_t, 64>& area);

// 0 when region 1 carries the model identity; then versionLabel gets the 8-byte label.
// 1 otherwise, and versionLabel is not touched.
int CheckIdentity(const RecordList& region1Blocks, std::array<std::uint8_t, 8>& versionLabel);

// 0 when region 2 holds the label area; then region2Label gets its 16 bytes. 1 otherwise.
int ReadRegion2Label(const RecordList& region2Blocks, std::array<std::uint8_t, 16>& region2Label);

}  // namespace qv
