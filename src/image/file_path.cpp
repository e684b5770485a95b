#include "image/file_path.h"

#include <system_error>

namespace qv {

std::filesystem::path PathFromUtf8(std::string_view text) {
    try {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    } catch (const std::system_error&) {
        // Windows converts the text to UTF-16 and throws on a byte that is no part of UTF-8;
        // the core reports by result, and no file has such a name.
        return {};
    }
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace qv
