#include "image/mot_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "image/file_path.h"

namespace qv {

int ReadMotFile(const std::string& path, std::vector<std::uint8_t>& text, LoadFailure* failure) {
    text.clear();
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) {
        NoteFailure(failure, "the file cannot be opened: " + path);
        return 1;
    }
    if (std::filesystem::is_directory(status)) {
        NoteFailure(failure, "a directory, not a file: " + path);
        return 1;
    }
    if (!std::filesystem::is_regular_file(status)) {
        NoteFailure(failure, "not a regular file: " + path);
        return 1;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        NoteFailure(failure, "the file cannot be opened: " + path);
        return 1;
    }
    if (size > kMaxMotFileBytes) {
        NoteFailure(failure, "the file holds " + std::to_string(size) +
                                 " bytes, more than a Mot file for this radio (64 MiB)");
        return 1;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        NoteFailure(failure, "the file cannot be opened: " + path);
        return 1;
    }
    text.resize(static_cast<std::size_t>(size));
    stream.read(reinterpret_cast<char*>(text.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(stream.gcount()) != size) {
        text.clear();
        NoteFailure(failure, "the file could not be read whole: " + path);
        return 1;
    }
    return 0;
}

}  // namespace qv
