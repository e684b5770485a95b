#include "cli/info_report.h"

#include <cstdio>
#include <numeric>
#include <span>
#include <vector>

#include "image/image_mirror.h"
#include "workflow/json_line.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

namespace {

struct InfoFields {
    std::string version;
    std::string region2Label;
    int blockSize = 0;
    std::size_t region1Blocks = 0;
    long long region1Bytes = 0;
    std::size_t region2Blocks = 0;
    std::string checksum;
};

// Label bytes up to the first zero byte; bytes a terminal cannot show are written as \xNN.
std::string LabelText(std::span<const std::uint8_t> label) {
    std::string text;
    for (const std::uint8_t byte : label) {
        if (byte == 0) {
            break;
        }
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
            text += escaped;
        }
    }
    return text;
}

InfoFields Collect(const LoadedImage& image, int blockSize) {
    InfoFields fields;
    fields.version = LabelText(image.versionLabel);
    fields.region2Label = LabelText(image.region2Label);
    fields.blockSize = blockSize;
    fields.region1Blocks = image.region1Blocks.size();
    fields.region1Bytes =
        std::accumulate(image.region1Blocks.begin(), image.region1Blocks.end(), 0LL,
                        [](long long sum, const HexRecord& block) { return sum + block.count; });
    fields.region2Blocks = image.region2Blocks.size();
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "0x%04X",
                  static_cast<unsigned>(Region1Checksum(image.region1Blocks)));
    fields.checksum = checksum;
    return fields;
}

}  // namespace

std::string FormatInfoText(const LoadedImage& image, int blockSize) {
    const InfoFields f = Collect(image, blockSize);
    return "version: " + f.version + "\nregion2-label: " + f.region2Label +
           "\nblock-size: " + std::to_string(f.blockSize) +
           "\nregion1-blocks: " + std::to_string(f.region1Blocks) +
           "\nregion1-bytes: " + std::to_string(f.region1Bytes) +
           "\nregion2-blocks: " + std::to_string(f.region2Blocks) + "\nchecksum: " + f.checksum +
           "\n";
}

std::string FormatInfoJson(const LoadedImage& image, int blockSize) {
    if (!image.valid) {
        return ImageRefusalJson(image) + "\n";
    }
    const InfoFields f = Collect(image, blockSize);
    return JsonLine({{"valid", true},
                     {"version", f.version},
                     {"region2Label", f.region2Label},
                     {"blockSize", f.blockSize},
                     {"region1Blocks", f.region1Blocks},
                     {"region1Bytes", f.region1Bytes},
                     {"region2Blocks", f.region2Blocks},
                     {"checksum", f.checksum}}) +
           "\n";
}

std::string ImageRefusalJson(const LoadedImage& image) {
    JsonValue object = {{"error", kImageNotValidMessage},
                        {"valid", false},
                        {"exitCode", kExitImageNotValid},
                        {"message", kImageNotValidMessage},
                        {"reason", image.reason}};
    if (image.line > 0) {
        object["line"] = image.line;
    }
    return JsonLine(object);
}

std::string FormatRefusal(const LoadedImage& image) {
    std::string text = std::string(kImageNotValidMessage) + "\n";
    if (image.line > 0) {
        text += "line " + std::to_string(image.line) + ": ";
    }
    return text + image.reason + "\n";
}

}  // namespace qv::cli
