// SerialLink's part in a browser: Web Serial, reached from the page's worker. The JavaScript
// half (src/web/site/serial_layer.js) holds the SerialPort objects; this file only asks it.
//
// Web Serial takes the line settings only when a port opens, so a change of speed or stop bits
// closes the port and opens it again, with DTR on and RTS off after every open. A write's
// promise resolves when the bytes are handed on, not when they have left the wire: the pauses
// after a write count from the bytes' own wire time (lineIdleAt_ in serial_link.cpp).

#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "serial/line_settings.h"
#include "serial/serial_link.h"

// clang-format off
EM_ASYNC_JS(int, qv_web_serial_open, (const char* device, int baud, int dataBits, int stopBits,
                                      int parity), {
    return await Module.qvSerial.open(UTF8ToString(device), baud, dataBits, stopBits, parity);
});
EM_ASYNC_JS(int, qv_web_serial_reopen, (int id, int baud, int dataBits, int stopBits,
                                        int parity), {
    return (await Module.qvSerial.reopen(id, baud, dataBits, stopBits, parity)) ? 1 : 0;
});
EM_ASYNC_JS(int, qv_web_serial_close, (int id), {
    return (await Module.qvSerial.close(id)) ? 1 : 0;
});
EM_ASYNC_JS(int, qv_web_serial_signals, (int id), {
    return (await Module.qvSerial.setSignals(id)) ? 1 : 0;
});
EM_ASYNC_JS(int, qv_web_serial_write, (int id, const std::uint8_t* bytes, int count,
                                       int timeoutMs), {
    return (await Module.qvSerial.write(id, HEAPU8.slice(bytes, bytes + count), timeoutMs)) ? 1
                                                                                           : 0;
});
// The count of bytes read into the buffer; -1 - count when the port was lost meanwhile.
EM_ASYNC_JS(int, qv_web_serial_read, (int id, std::uint8_t* buffer, int count, int timeoutMs), {
    const got = await Module.qvSerial.read(id, count, timeoutMs);
    HEAPU8.set(got.bytes, buffer);
    return got.lost ? -1 - got.bytes.length : got.bytes.length;
});
EM_JS(void, qv_web_serial_purge, (int id), {
    Module.qvSerial.purge(id);
});
// clang-format on

namespace qv {
namespace {

// What the JavaScript half answers when a port does not open.
constexpr int kOpenMissing = -1;      // not granted, or unplugged
constexpr int kOpenRefused = -2;      // "Failed to open serial port": held by another program,
                                      // or the OS refused this user
constexpr int kOpenSettingsBad = -3;  // the browser refused the line settings

OpenFailure FailureOfOpen(int code) {
    switch (code) {
        case kOpenMissing:
            return OpenFailure::Missing;
        case kOpenRefused:
            return OpenFailure::InUse;
        default:
            return OpenFailure::Other;
    }
}

int ParityCode(char parity) {
    return parity == 'E' ? 1 : parity == 'O' ? 2 : 0;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(
        left.count(), 0, std::numeric_limits<int>::max()));
}

int Id(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

struct SerialLink::PlatformState {
    LineSettings opened;  // what the port was last opened with
};

void SerialLink::PlatformStateDeleter::operator()(PlatformState* state) const {
    delete state;
}

bool SerialLink::OpenDevice(const std::string& deviceName) {
    const auto settings = ParseLineSettings(lineSettings_);
    if (!settings) {
        openFailure_ = OpenFailure::Other;
        return false;
    }
    const int id =
        qv_web_serial_open(deviceName.c_str(), static_cast<int>(settings->baud), settings->dataBits,
                           settings->stopBits, ParityCode(settings->parity));
    if (id < 0) {
        openFailure_ = id == kOpenSettingsBad ? OpenFailure::Other : FailureOfOpen(id);
        return false;
    }
    platform_.reset(new PlatformState{*settings});
    handle_ = id;
    return true;
}

bool SerialLink::CloseDevice() {
    if (handle_ < 0) {
        return false;
    }
    const int id = Id(handle_);
    handle_ = -1;
    platform_.reset();
    return qv_web_serial_close(id) != 0;
}

// The browser sizes its buffer at open (bufferSize), for the longest reply and more.
bool SerialLink::SetupQueues() {
    return handle_ >= 0;
}

bool SerialLink::ApplyLineSettings() {
    const auto settings = ParseLineSettings(lineSettings_);
    if (!settings || handle_ < 0 || !platform_) {
        return false;
    }
    const LineSettings& opened = platform_->opened;
    if (settings->baud == opened.baud && settings->stopBits == opened.stopBits &&
        settings->dataBits == opened.dataBits && settings->parity == opened.parity) {
        return true;
    }
    if (qv_web_serial_reopen(Id(handle_), static_cast<int>(settings->baud), settings->dataBits,
                             settings->stopBits, ParityCode(settings->parity)) == 0) {
        return false;
    }
    platform_->opened = *settings;
    return ClearRts();
}

// Each read waits with the stored time-out.
bool SerialLink::ApplyTimeouts() {
    return handle_ >= 0;
}

// A reopen resets the modem lines: DTR on and RTS off again, as the POSIX backend leaves them.
bool SerialLink::ClearRts() {
    return handle_ >= 0 && qv_web_serial_signals(Id(handle_)) != 0;
}

bool SerialLink::PurgeReceive() {
    if (handle_ < 0) {
        return false;
    }
    qv_web_serial_purge(Id(handle_));
    return true;
}

bool SerialLink::WriteRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
    if (handle_ < 0) {
        return false;
    }
    return qv_web_serial_write(Id(handle_), bytes.data(), static_cast<int>(bytes.size()),
                               MillisecondsUntil(deadline)) != 0;
}

// Each write has resolved before the next call: the browser holds nothing more that can be
// waited for, and the wire-time floor of WaitUntilSent covers the bytes still on the wire.
bool SerialLink::DrainOutput(Clock::time_point /*deadline*/) {
    return handle_ >= 0;
}

bool SerialLink::ReadRaw(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (handle_ < 0) {
        return false;
    }
    const auto timeout = readTimeout_ + readTimeoutMultiplier_ * static_cast<long>(buffer.size());
    const int count =
        qv_web_serial_read(Id(handle_), buffer.data(), static_cast<int>(buffer.size()),
                           static_cast<int>(timeout.count()));
    if (count < 0) {
        received = static_cast<std::size_t>(-1 - count);
        return false;  // the port is lost: the cable was pulled out
    }
    received = static_cast<std::size_t>(count);
    return true;
}

// Every port Web Serial offers is a serial port.
bool SerialLink::QueryRs232() {
    return handle_ >= 0;
}

}  // namespace qv
