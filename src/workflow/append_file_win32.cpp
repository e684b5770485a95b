#include <windows.h>

#include <string>

#include "image/file_path.h"
#include "workflow/append_file.h"

namespace qv {

namespace {

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::string SystemReason(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == '.' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason;
}

bool FileSize(HANDLE file, LONGLONG& size) {
    LARGE_INTEGER value{};
    if (!GetFileSizeEx(file, &value)) {
        return false;
    }
    size = value.QuadPart;
    return true;
}

// Cuts off what a failed append added: through a handle of its own with write access, since
// the append handle may only add at the end.
void CutBackTo(const std::string& path, LONGLONG size) {
    HANDLE file =
        CreateFileW(PathFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end)) {
        FlushFileBuffers(file);
    }
    CloseHandle(file);
}

}  // namespace

bool AppendFile::Open(const std::string& path, std::string& reason) {
    Close();
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file, even
    // with another program appending to it. Read access to look at the last byte.
    HANDLE file = CreateFileW(
        PathFromUtf8(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = SystemReason(GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    path_ = path;
    return true;
}

void AppendFile::Close() {
    if (handle_ != -1) {
        CloseHandle(Handle(handle_));
        handle_ = -1;
    }
}

bool AppendFile::EndsInsideALine() {
    LONGLONG size = 0;
    if (handle_ == -1 || !FileSize(Handle(handle_), size) || size == 0) {
        return false;
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((size - 1) & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>((size - 1) >> 32);
    char last = '\n';
    DWORD read = 0;
    return ReadFile(Handle(handle_), &last, 1, &read, &at) && read == 1 && last != '\n';
}

bool AppendFile::AppendWhole(std::string_view bytes, std::string& reason) {
    HANDLE file = Handle(handle_);
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD writeError = GetLastError();
    if (wrote && written == bytes.size()) {
        if (FlushFileBuffers(file)) {
            return true;
        }
        reason = SystemReason(GetLastError());
    } else {
        reason = SystemReason(wrote ? ERROR_DISK_FULL : writeError);
    }
    LONGLONG size = 0;
    if (written > 0 && FileSize(file, size) && size >= static_cast<LONGLONG>(written)) {
        CutBackTo(path_, size - written);
    }
    return false;
}

}  // namespace qv
