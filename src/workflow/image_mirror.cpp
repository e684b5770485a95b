#include "workflow/image_mirror.h"

#include <algorithm>

#include "image/image_mirror.h"

namespace qv {

ImageMirror::ImageMirror() : bytes_(kMirrorSize, 0xFF) {}

void ImageMirror::Fill(std::uint8_t value) {
    std::fill(bytes_.begin(), bytes_.end(), value);
}

bool ImageMirror::Store(std::uint32_t address, std::span<const std::uint8_t> data) {
    if (address < kMirrorBase) {
        return false;
    }
    const std::size_t offset = address - kMirrorBase;
    if (offset > bytes_.size() || data.size() > bytes_.size() - offset) {
        return false;
    }
    std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

// The same sum qv-flash info shows for an image, taken here over what was really sent.
std::uint16_t ImageMirror::ChecksumSum() const {
    return MirrorChecksum(bytes_);
}

}  // namespace qv
