#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "workflow/append_file.h"

namespace qv {

namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool AppendFile::Open(const std::string& path, std::string& reason) {
    Close();
    // Read access too, to look at the last byte; O_APPEND puts every write at the end, even
    // with another program appending to the same file.
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    handle_ = fd;
    return true;
}

void AppendFile::Close() {
    if (handle_ >= 0) {
        close(Descriptor(handle_));
        handle_ = -1;
    }
}

bool AppendFile::EndsInsideALine() {
    struct stat status {};
    if (handle_ < 0 || fstat(Descriptor(handle_), &status) != 0 || status.st_size == 0) {
        return false;
    }
    char last = '\n';
    return pread(Descriptor(handle_), &last, 1, status.st_size - 1) == 1 && last != '\n';
}

bool AppendFile::AppendWhole(std::string_view bytes, std::string& reason) {
    const int fd = Descriptor(handle_);
    ssize_t written = -1;
    do {
        written = write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;
    if (written == static_cast<ssize_t>(bytes.size())) {
        if (fsync(fd) == 0) {
            return true;
        }
        reason = std::strerror(errno);
    } else {
        // A short write returns what fitted and leaves the reason to the next write.
        reason = std::strerror(written < 0 ? writeError : ENOSPC);
    }
    if (written > 0) {
        // After an append the offset is the end of what this write added.
        const off_t end = lseek(fd, 0, SEEK_CUR);
        if (end >= written && ftruncate(fd, end - written) == 0) {
            fsync(fd);
        }
    }
    return false;
}

}  // namespace qv
