#include "image/image_mirror.h"

#include <algorithm>

namespace qv {

namespace {

ImageMirror MirrorOf(const RecordList& blocks, std::uint32_t base) {
    ImageMirror mirror(base);
    for (const HexRecord& block : blocks) {
        mirror.StoreBlock(block);
    }
    return mirror;
}

}  // namespace

ImageMirror::ImageMirror(std::uint32_t base) : base_(base), bytes_(kMirrorSize, 0xFF) {}

void ImageMirror::Fill(std::uint8_t value) {
    std::fill(bytes_.begin(), bytes_.end(), value);
}

bool ImageMirror::Store(std::uint32_t address, std::span<const std::uint8_t> data) {
    if (address < base_) {
        return false;
    }
    const std::size_t offset = address - base_;
    if (offset > bytes_.size() || data.size() > bytes_.size() - offset) {
        return false;
    }
    std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

void ImageMirror::StoreBlock(const HexRecord& block) {
    for (std::int32_t k = 0; k < block.count; ++k) {
        const std::int64_t offset = static_cast<std::int64_t>(block.address) + k - base_;
        if (offset >= 0 && offset < static_cast<std::int64_t>(bytes_.size())) {
            bytes_[static_cast<std::size_t>(offset)] =
                ByteValue(block.hexText[2 * k], block.hexText[2 * k + 1]);
        }
    }
}

std::uint16_t ImageMirror::ChecksumSum() const {
    const std::size_t length = std::min(bytes_.size(), kChecksumBytes);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += bytes_[i];
    }
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint8_t> BuildMirror(const RecordList& blocks, std::uint32_t base) {
    const ImageMirror mirror = MirrorOf(blocks, base);
    return {mirror.Bytes().begin(), mirror.Bytes().end()};
}

std::uint16_t Region1Checksum(const RecordList& region1Blocks) {
    return MirrorOf(region1Blocks, kMirrorBase).ChecksumSum();
}

}  // namespace qv
