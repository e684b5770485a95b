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

std::string RadioVersionText(std::span<const std::uint8_t> radioVersion) {
    if (!radioVersion.empty() && radioVersion[0] == kNoVersionByte) {
        return kNoVersionText;
    }
    return VersionText(radioVersion);
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

std::string BuildVersionChangeText(std::span<const std::uint8_t> radioVersion,
                                   std::span<const std::uint8_t> versionLabel) {
    const std::string newVersion = VersionText(versionLabel);
    std::string text = kConfirmationFirstText;
    if (!radioVersion.empty() && radioVersion[0] == kNoVersionByte) {
        text += "\n";
        text += kNoVersionText;
    } else {
        text += "\n Ver. ";
        text += VersionText(radioVersion);
    }
    text += " -> Ver. ";
    text += newVersion;
    text += "\n";
    text += kConfirmationLastText;
    return text;
}

}  // namespace qv
