#include "cli/record_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qv::cli {

std::unique_ptr<RecordFile> RecordFile::Open(const std::string& path, std::string& reason) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        reason = "it is a directory";
        return nullptr;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        reason = "it is not a regular file";
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<RecordFile>(new RecordFile(path, file));
}

RecordFile::~RecordFile() {
    std::fclose(file_);
}

bool RecordFile::Append(const std::string& line) {
    std::lock_guard lock(mutex_);
    const bool written = std::fputs(line.c_str(), file_) >= 0 && std::fputc('\n', file_) != EOF;
    return std::fflush(file_) == 0 && written;
}

}  // namespace qv::cli
