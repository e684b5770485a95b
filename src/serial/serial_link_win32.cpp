// SerialLink's OS part on Windows: the communication services of the system.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "serial/comm_settings_win32.h"
#include "serial/port_details_win32.h"
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

std::chrono::milliseconds MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    return std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                        std::chrono::steady_clock::now());
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
    // Windows has no request for low latency: FTDI's driver runs the timer its device key
    // holds, and the job can only say what that costs.
    adapterLatency_.timer = LatencyTimerOfPort(deviceName);
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
    if (!BuildLineControlBlock(lineSettings_, dcb) || SetCommState(Handle(handle_), &dcb) == 0) {
        return false;
    }
    return ClearRts();
}

// A read of n bytes waits at most constant + multiplier * n. Writes are never left without a
// limit, as the system's own default would leave them; each write sets its own deadline.
bool SerialLink::ApplyTimeouts() {
    COMMTIMEOUTS timeouts = LinkTimeouts(readTimeout_, readTimeoutMultiplier_, kDrainAllowance);
    return SetCommTimeouts(Handle(handle_), &timeouts) != 0;
}

// A port without an RTS line has nothing to clear.
bool SerialLink::ClearRts() {
    return EscapeCommFunction(Handle(handle_), CLRRTS) != 0 || IsMissingModemLine(GetLastError());
}

bool SerialLink::PurgeReceive() {
    return PurgeComm(Handle(handle_), PURGE_RXCLEAR) != 0;
}

// The write time-out is the time left to the deadline: a driver that has not taken every byte
// by then returns the write short, and a short write has failed.
bool SerialLink::WriteRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
    COMMTIMEOUTS timeouts =
        LinkTimeouts(readTimeout_, readTimeoutMultiplier_, MillisecondsUntil(deadline));
    if (SetCommTimeouts(Handle(handle_), &timeouts) == 0) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(Handle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr);
    return WriteCompleted(ok, written, bytes.size());
}

// FlushFileBuffers waits for the transmit buffer to empty but knows no deadline, so the
// driver's queue is watched until it is empty or the deadline has passed; only then does
// FlushFileBuffers wait, for what is left in the UART.
bool SerialLink::DrainOutput(Clock::time_point deadline) {
    const QueueWait wait = WaitForEmptyQueue(
        [handle = Handle(handle_)]() -> std::optional<long long> {
            DWORD errors = 0;
            COMSTAT status{};
            if (ClearCommError(handle, &errors, &status) == 0) {
                return std::nullopt;
            }
            return status.cbOutQue;
        },
        deadline);
    // A port whose state cannot be read has failed, as one that does not drain.
    if (wait != QueueWait::Empty) {
        return false;
    }
    return FlushFileBuffers(Handle(handle_)) != 0;
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
