#pragma once
// The file of --record, opened before any port: a path that cannot take the lines refuses the
// run before a radio is touched. One JSON line per radio, appended as each radio ends.

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace qv::cli {

class RecordFile {
  public:
    // Opens the file for appending, created if missing. A directory, a FIFO or anything else
    // that is not a regular file is refused (a FIFO without a reader would hang the run).
    // Returns nullptr with the reason.
    static std::unique_ptr<RecordFile> Open(const std::string& path, std::string& reason);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const std::string& Path() const { return path_; }
    // One line, flushed at once; safe from several threads. False when it could not be written.
    bool Append(const std::string& line);

  private:
    RecordFile(std::string path, std::FILE* file) : path_(std::move(path)), file_(file) {}

    std::string path_;
    std::FILE* file_;
    std::mutex mutex_;
};

}  // namespace qv::cli
