#include "image/load_image.h"

#include <algorithm>

#include "image/firmware_image.h"
#include "image/image_checks.h"
#include "image/image_layout.h"

namespace qv {

namespace {

constexpr std::string_view kTitlePlaceholder = "<<x>>";

// Runs the checks after a load and, for a refused image, empties the lists and keeps why.
void CheckLoaded(const FirmwareImage& image, int loadResult, LoadedImage& result) {
    if (loadResult != 0) {
        result.reason = image.failure().reason;
        result.line = image.failure().line;
    } else if (CheckIdentity(result.region1Blocks, result.versionLabel) != 0) {
        result.reason = "no model identity \"" + std::string(kModelIdentity) + "\" at 0x080DFF00";
    } else if (ReadRegion2Label(result.region2Blocks, result.region2Label) != 0) {
        result.reason = "no region-2 label area at 0x0800BF00";
    } else {
        result.valid = true;
        return;
    }
    if (result.reason.empty()) {
        result.reason = "the image cannot be read";
    }
    result.region1Blocks.clear();
    result.spareList.clear();
    result.region2Blocks.clear();
}

}  // namespace

LoadedImage LoadAndCheckImage(int maxBuffer, const std::string& motPath, int useMotFile,
                              std::span<const std::uint8_t> carriedPackage) {
    LoadedImage result;
    FirmwareImage image;
    image.SetBlockSize(maxBuffer);
    image.SetCarriedPackage(carriedPackage);
    const int loaded = image.Load(result.region1Blocks, result.spareList, result.region2Blocks,
                                  motPath, useMotFile);
    CheckLoaded(image, loaded, result);
    return result;
}

LoadedImage LoadAndCheckText(int maxBuffer, std::span<const std::uint8_t> plainText) {
    LoadedImage result;
    FirmwareImage image;
    image.SetBlockSize(maxBuffer);
    const int loaded =
        image.LoadText(plainText, result.region1Blocks, result.spareList, result.region2Blocks);
    CheckLoaded(image, loaded, result);
    return result;
}

std::string FillTitleTemplate(const std::string& replacement) {
    std::string title = kTitleTemplate;
    for (std::size_t at = title.find(kTitlePlaceholder); at != std::string::npos;
         at = title.find(kTitlePlaceholder, at + replacement.size())) {
        title.replace(at, kTitlePlaceholder.size(), replacement);
    }
    return title;
}

std::string BuildWindowTitle(const LoadedImage& image) {
    if (!image.valid) {
        return FillTitleTemplate(kInvalidFirmText);
    }
    const auto end = std::find(image.versionLabel.begin(), image.versionLabel.end(), 0);
    return FillTitleTemplate(std::string(image.versionLabel.begin(), end));
}

}  // namespace qv
