#include "workflow/record_file.h"

#include <filesystem>
#include <system_error>

#include "image/file_path.h"

namespace qv {

std::unique_ptr<RecordFile> RecordFile::Open(const std::string& path, std::string& reason) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        reason = "no file name";
        return nullptr;
    }
    // The path is UTF-8 text: on Windows it names its file only as a wide path.
    const fs::path file = PathFromUtf8(path);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (fs::is_directory(status)) {
        reason = "it is a directory";
        return nullptr;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        reason = "it is not a regular file";
        return nullptr;
    }
    const fs::path folder = file.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        reason = "its folder " + Utf8FromPath(folder) + " does not exist";
        return nullptr;
    }
    std::unique_ptr<RecordFile> record(new RecordFile(path));
    if (!record->file_.Open(path, reason)) {
        return nullptr;
    }
    return record;
}

bool RecordFile::Append(const std::string& line, std::string& reason) {
    std::lock_guard lock(mutex_);
    // Looked at before every line: a line cut short by an earlier run, or by another program,
    // must not swallow the start of this one.
    std::string bytes = file_.EndsInsideALine() ? "\n" : "";
    bytes += line;
    bytes += '\n';
    return file_.AppendWhole(bytes, reason);
}

bool AppendRecordLine(const std::string& path, const std::string& line, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(path).parent_path(), error);
    const std::unique_ptr<RecordFile> record = RecordFile::Open(path, reason);
    return record && record->Append(line, reason);
}

}  // namespace qv
