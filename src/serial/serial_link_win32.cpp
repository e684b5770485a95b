// SerialLink's OS part on Windows: the communication services of the system.

#include <windows.h>

#include <algorithm>
#include <vector>

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

// The whole process runs at real-time priority while a read waits for the radio, so that a
// busy machine does not let its answer sit; afterwards always normal.
class RealtimeDuringRead {
  public:
    RealtimeDuringRead() { SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS); }
    ~RealtimeDuringRead() { SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS); }
    RealtimeDuringRead(const RealtimeDuringRead&) = delete;
    RealtimeDuringRead& operator=(const RealtimeDuringRead&) = delete;
};

DWORD Milliseconds(std::chrono::milliseconds duration) {
    return static_cast<DWORD>(duration.count());
}

}  // namespace

struct SerialLink::PlatformState {};

void SerialLink::PlatformStateDeleter::operator()(PlatformState* state) const {
    delete state;
}

bool SerialLink::OpenDevice(const std::string& deviceName) {
    // Exclusive (no sharing), existing devices only, no overlapped I/O: reads and writes
    // block until done or timed out.
    const HANDLE handle = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    if (handle == INVALID_HANDLE_VALUE) {
        // Another program holding the port is refused access: the port is exclusive.
        const DWORD error = GetLastError();
        openFailure_ = error == ERROR_FILE_NOT_FOUND  ? OpenFailure::Missing
                       : error == ERROR_ACCESS_DENIED ? OpenFailure::InUse
                                                      : OpenFailure::Other;
        return false;
    }
    return true;
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
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    if (BuildCommDCBA(lineSettings_.c_str(), &dcb) == 0 ||
        SetCommState(Handle(handle_), &dcb) == 0) {
        return false;
    }
    return ClearRts();
}

// No limit between bytes: a read of n bytes waits at most constant + multiplier * n.
bool SerialLink::ApplyTimeouts() {
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(Handle(handle_), &timeouts) == 0) {
        return false;
    }
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = Milliseconds(readTimeoutMultiplier_);
    timeouts.ReadTotalTimeoutConstant = Milliseconds(readTimeout_);
    return SetCommTimeouts(Handle(handle_), &timeouts) != 0;
}

bool SerialLink::ClearRts() {
    return EscapeCommFunction(Handle(handle_), CLRRTS) != 0;
}

bool SerialLink::PurgeReceive() {
    return PurgeComm(Handle(handle_), PURGE_RXCLEAR) != 0;
}

bool SerialLink::WriteRaw(std::span<const std::uint8_t> bytes, Clock::time_point) {
    DWORD written = 0;
    return WriteFile(Handle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != 0;
}

// Waits until the driver's transmit buffer is empty.
bool SerialLink::DrainOutput(Clock::time_point) {
    return FlushFileBuffers(Handle(handle_)) != 0;
}

bool SerialLink::ReadRaw(std::span<std::uint8_t> buffer, std::size_t& received) {
    RealtimeDuringRead priority;
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
