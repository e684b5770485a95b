// Feeds arbitrary bytes as a Mot file's text through the loader and the checks. Besides
// the sanitizers' findings, a valid image must hold only blocks the boot loader can take.

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_mirror.h"
#include "image/load_image.h"

namespace {

void CheckBlocks(const qv::RecordList& blocks, int largest) {
    std::int64_t lastEnd = 0;
    for (const qv::HexRecord& block : blocks) {
        if (block.address % 2 != 0 || block.count % 4 != 0 || block.count > largest ||
            block.address < lastEnd) {
            __builtin_trap();
        }
        lastEnd = static_cast<std::int64_t>(block.address) + block.count;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int blockSize = size % 2 == 0 ? 256 : 128;
    const qv::LoadedImage image = qv::LoadAndCheckText(blockSize, std::span(data, size));
    if (image.valid) {
        CheckBlocks(image.region1Blocks, blockSize);
        CheckBlocks(image.region2Blocks, 256);
        (void)qv::Region1Checksum(image.region1Blocks);
    } else if (!image.region1Blocks.empty() || image.reason.empty()) {
        __builtin_trap();
    }
    (void)qv::BuildWindowTitle(image);
    return 0;
}
