#pragma once
// The load-and-check sequence that the desktop application and qv-flash both run.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "image/hex_record.h"

namespace qv {

inline constexpr const char* kTitleTemplate =
    "Updater for QV-310/QV-410(HW V2.0)         Ver. <<x>>";
inline constexpr const char* kInvalidFirmText = "Invalid Firm";
inline constexpr const char* kImageNotValidMessage =
    "The firmware file selected is not valid for this model.";

struct LoadedImage {
    bool valid = false;
    RecordList region1Blocks;
    RecordList spareList;  // always empty
    RecordList region2Blocks;
    std::array<std::uint8_t, 8> versionLabel{};
    std::array<std::uint8_t, 16> region2Label{};
    // For the command line only: why the image was refused and the text line where reading
    // stopped (0 when there is no line to name).
    std::string reason;
    int line = 0;
};

// Loads the carried package (useMotFile 0: carriedPackage, scrambled as the program holds it)
// or the Mot file at motPath, builds the blocks with maxBuffer as region 1's block size and
// runs the identity and region-2 label checks. A refused image comes back with valid false and
// empty block lists.
LoadedImage LoadAndCheckImage(int maxBuffer, const std::string& motPath, int useMotFile,
                              std::span<const std::uint8_t> carriedPackage);

// The same sequence on plain S-record text held in memory (tests, fuzzing, benchmarks).
LoadedImage LoadAndCheckText(int maxBuffer, std::span<const std::uint8_t> plainText);

// "Updater for QV-310/QV-410(HW V2.0)         Ver. <<x>>" with every <<x>> replaced by the
// version label up to its first zero byte, or by "Invalid Firm".
std::string BuildWindowTitle(const LoadedImage& image);

// The template with every <<x>> replaced by the given text.
std::string FillTitleTemplate(const std::string& replacement);

}  // namespace qv
