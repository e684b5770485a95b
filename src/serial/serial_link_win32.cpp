// SerialLink's OS part on Windows: the communication services of the system.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "serial/comm_settings_win32.h"
#include "serial/read_priority_win32.h"
#include "serial/serial_link.h"
#include "serial/serial_timing.h"
#include "serial/spin_wait.h"

namespace qv {
namespace {

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool IsValid(std::intptr_t handle) {
    return Handle(handle) != INVALID_HANDLE_VALUE;
}

DWORD Milliseconds(std::chrono::milliseconds duration) {
    return static_cast<DWORD>(duration.count());
}

}  // namespace

bool SerialLink::OpenDevice(const std::string& deviceName) {
    // Exclusive (no sharing), existing devices only, no overlapped I/O: reads and writes
    // block until done or timed out.
    const HANDLE handle = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return handle != INVALID_HANDLE_VALUE;
}

bool SerialLink::CloseDevice() {
    if (!IsValid(handle_)) {
        return false;
    }
    const HANDLE handle = Handle(handle_);
    handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
    return CloseHandle(handle) != 0;
}

bool SerialLink::SetupQueues() {
    return SetupComm(Handle(handle_), inputQueueSize_, outputQueueSize_) != 0;
}

bool SerialLink::ApplyLineSettings() {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (GetCommState(Handle(handle_), &dcb) == 0) {
        return false;
    }
    if (!BuildLineControlBlock(lineSettings_, dcb) || SetCommState(Handle(handle_), &dcb) == 0) {
        return false;
    }
    // The write time-outs follow the line's speed.
    return ApplyTimeouts() && ClearRts();
}

// No limit between bytes: a read of n bytes waits at most constant + multiplier * n. A write
// gets its bytes' wire time and an allowance, so a stalled driver cannot hold the job.
bool SerialLink::ApplyTimeouts() {
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(Handle(handle_), &timeouts) == 0 ||
        !SetWriteTimeouts(lineSettings_, timeouts)) {
        return false;
    }
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = Milliseconds(readTimeoutMultiplier_);
    timeouts.ReadTotalTimeoutConstant = Milliseconds(readTimeout_);
    return SetCommTimeouts(Handle(handle_), &timeouts) != 0;
}

// A port without an RTS line has nothing to clear.
bool SerialLink::ClearRts() {
    return EscapeCommFunction(Handle(handle_), CLRRTS) != 0 || IsMissingModemLine(GetLastError());
}

bool SerialLink::PurgeReceive() {
    return PurgeComm(Handle(handle_), PURGE_RXCLEAR) != 0;
}

bool SerialLink::WriteRaw(std::span<const std::uint8_t> bytes) {
    DWORD written = 0;
    const BOOL ok = WriteFile(Handle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr);
    return WriteCompleted(ok, written, bytes.size());
}

bool SerialLink::ReadRaw(std::span<std::uint8_t> buffer, std::size_t& received) {
    ReadPriorityBoost priority;
    DWORD count = 0;
    const BOOL ok = ReadFile(Handle(handle_), buffer.data(), static_cast<DWORD>(buffer.size()),
                             &count, nullptr);
    received = count;
    return ok != 0;
}

// The first query learns the size of the property record, the second reads it.
bool SerialLink::QueryRs232() {
    COMMPROP first{};
    const bool sized = GetCommProperties(Handle(handle_), &first) != 0;
    SpinWait(kRs232QueryPause);
    if (!sized) {
        SpinWait(kRs232QueryPause);
        return false;
    }
    const std::size_t bytes = std::max<std::size_t>(first.wPacketLength, sizeof(COMMPROP));
    std::vector<COMMPROP> record((bytes + sizeof(COMMPROP) - 1) / sizeof(COMMPROP));
    record[0].wPacketLength = static_cast<WORD>(bytes);
    record[0].dwProvSpec1 = COMMPROP_INITIALIZED;
    const bool read = GetCommProperties(Handle(handle_), record.data()) != 0;
    SpinWait(kRs232QueryPause);
    return read && record[0].dwProvSubType == PST_RS232;
}

}  // namespace qv
