#pragma once
// A file of record lines, qv-flash --record and the window's service log: the shop's proof of
// which radio got which firmware. A line is in the file whole or not at all: one write of the
// line and its newline at the end of the file, then a sync (one per radio costs nothing next
// to a minute's write); what a write cut short by a full disk added is cut off again; and a
// file that does not end in a newline (a crash, a hand edit) gets one before the next line.

#include <memory>
#include <mutex>
#include <string>

#include "workflow/append_file.h"

namespace qv {

class RecordFile {
  public:
    // Opens the file for appending, created if missing. A directory, a FIFO or anything else
    // that is not a regular file is refused (a FIFO without a reader would hang the run), and
    // so is a file in a folder that does not exist. nullptr with the reason.
    static std::unique_ptr<RecordFile> Open(const std::string& path, std::string& reason);

    const std::string& Path() const { return path_; }
    // One line, whole or not at all; safe from several threads. False with the system's
    // reason ("No space left on device") when the line is not in the file.
    bool Append(const std::string& line, std::string& reason);

  private:
    explicit RecordFile(std::string path) : path_(std::move(path)) {}

    std::string path_;
    std::mutex mutex_;
    AppendFile file_;
};

// Opens, appends one line and closes: for a log written once a job, created with its folder.
bool AppendRecordLine(const std::string& path, const std::string& line, std::string& reason);

}  // namespace qv
