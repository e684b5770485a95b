#include "workflow/version_text.h"

#include <algorithm>

#include "workflow/job_messages.h"

namespace qv {

namespace {
constexpr std::size_t kShownVersionLength = 8;
constexpr std::uint8_t kNoVersionByte = 0xFF;
}  // namespace

std::string VersionText(std::span<const std::uint8_t> bytes) {
    std::string text;
    const std::size_t limit = std::min(bytes.size(), kShownVersionLength);
    for (std::size_t i = 0; i < limit && bytes[i] != 0; ++i) {
        text.push_back(static_cast<char>(bytes[i]));
    }
    return text;
}

bool RadioHoldsVersion(std::span<const std::uint8_t> radioVersion) {
    return radioVersion.empty() || radioVersion[0] != kNoVersionByte;
}

std::string RadioVersionText(std::span<const std::uint8_t> radioVersion) {
    return RadioHoldsVersion(radioVersion) ? VersionText(radioVersion) : kNoVersionText;
}

std::string ModelNameText(std::span<const std::uint8_t> modelCode) {
    std::string name;
    for (const std::uint8_t byte : modelCode) {
        if (byte < 0x20 || byte > 0x7E) {
            break;
        }
        name += static_cast<char>(byte);
    }
    return name;
}

std::string VersionChangeLine(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) {
    const std::string old = radioVersion ? "Ver. " + *radioVersion : std::string(kNoVersionText);
    return old + " -> Ver. " + newVersion;
}

std::string VersionChangeText(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) {
    // A radio's version is set off by a blank; "No Data" stands at the line's start.
    return std::string(kConfirmationFirstText) + (radioVersion ? "\n " : "\n") +
           VersionChangeLine(radioVersion, newVersion) + "\n" + kConfirmationLastText;
}

}  // namespace qv
