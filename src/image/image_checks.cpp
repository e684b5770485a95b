#include "image/image_checks.h"

#include <algorithm>
#include <cstring>

#include "image/image_layout.h"

namespace qv {

namespace {

bool Holds(const HexRecord& block, std::uint32_t address) {
    return block.address <= address && static_cast<std::int64_t>(address) <
                                           static_cast<std::int64_t>(block.address) + block.count;
}

}  // namespace

int GatherArea(const RecordList& blocks, std::uint32_t target, std::array<std::uint8_t, 64>& area) {
    auto block = std::find_if(blocks.begin(), blocks.end(),
                              [&](const HexRecord& b) { return Holds(b, target); });
    if (block == blocks.end()) {
        return 1;
    }
    std::size_t gathered = 0;
    std::size_t offset = target - block->address;
    for (;;) {
        for (; offset < static_cast<std::size_t>(block->count) && gathered < area.size();
             ++offset) {
            area[gathered++] =
                ByteValue(block->hexText[2 * offset], block->hexText[2 * offset + 1]);
        }
        if (gathered == area.size()) {
            return 0;
        }
        // Only a block that starts where the gathered bytes end continues the area: bytes
        // from elsewhere in memory are not the area's bytes.
        const std::int64_t gatheredEnd = static_cast<std::int64_t>(target) + gathered;
        ++block;
        if (block == blocks.end() || block->address != gatheredEnd) {
            return 1;
        }
        offset = 0;
    }
}

int CheckIdentity(const RecordList& region1Blocks, std::array<std::uint8_t, 8>& versionLabel) {
    std::array<std::uint8_t, 64> area{};
    if (GatherArea(region1Blocks, kIdentityAreaAddress, area) != 0) {
        return 1;
    }
    if (std::memcmp(area.data(), kModelIdentity, kModelIdentityLength) != 0) {
        return 1;
    }
    std::copy_n(area.begin() + kVersionLabelOffset, versionLabel.size(), versionLabel.begin());
    return 0;
}

int ReadRegion2Label(const RecordList& region2Blocks, std::array<std::uint8_t, 16>& region2Label) {
    std::array<std::uint8_t, 64> area{};
    if (GatherArea(region2Blocks, kLabelAreaAddress, area) != 0) {
        return 1;
    }
    std::copy_n(area.begin() + kRegion2LabelOffset, region2Label.size(), region2Label.begin());
    return 0;
}

}  // namespace qv
