#pragma once
// The operating system's side of a record file (record_file.h): a file opened for appending
// and nothing else, one file per OS.

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens the file for appending, created if missing. False with the system's reason.
    bool Open(const std::string& path, std::string& reason);
    void Close();
    // True when the file holds bytes and the last of them is not a newline.
    bool EndsInsideALine();
    // One write of all the bytes at the end of the file, then a sync to the disk. When the
    // write was short or failed, or the sync failed, the bytes this write added are cut off
    // again. False with the system's reason.
    bool AppendWhole(std::string_view bytes, std::string& reason);

  private:
    std::intptr_t handle_ = -1;  // a descriptor, or a HANDLE on Windows
    std::string path_;           // Windows cuts a failed append off through a handle of its own
};

}  // namespace qv
