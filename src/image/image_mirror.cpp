#include "image/image_mirror.h"

namespace qv {

void StoreBlockInMirror(const HexRecord& block, std::span<std::uint8_t> mirror,
                        std::uint32_t base) {
    for (std::int32_t k = 0; k < block.count; ++k) {
        const std::int64_t offset = static_cast<std::int64_t>(block.address) + k - base;
        if (offset >= 0 && offset < static_cast<std::int64_t>(mirror.size())) {
            mirror[static_cast<std::size_t>(offset)] =
                ByteValue(block.hexText[2 * k], block.hexText[2 * k + 1]);
        }
    }
}

void StoreBlocksInMirror(const RecordList& blocks, std::span<std::uint8_t> mirror,
                         std::uint32_t base) {
    for (const HexRecord& block : blocks) {
        StoreBlockInMirror(block, mirror, base);
    }
}

std::uint16_t MirrorChecksum(std::span<const std::uint8_t> mirror) {
    const std::size_t length = mirror.size() < kChecksumBytes ? mirror.size() : kChecksumBytes;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += mirror[i];
    }
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint8_t> BuildMirror(const RecordList& blocks, std::uint32_t base) {
    std::vector<std::uint8_t> mirror(kMirrorSize, 0xFF);
    StoreBlocksInMirror(blocks, mirror, base);
    return mirror;
}

std::uint16_t Region1Checksum(const RecordList& region1Blocks) {
    return MirrorChecksum(BuildMirror(region1Blocks));
}

}  // namespace qv
