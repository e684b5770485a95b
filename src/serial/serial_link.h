#pragma once
// The one serial port through which the updater talks to the radio's boot loader.
// The operating system's part lives in one backend file per OS (serial_link_posix.cpp,
// serial_link_win32.cpp); this header is the same for both.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "serial/port_table.h"

namespace qv {

inline constexpr std::size_t kTxScratchSize = 2000;
inline constexpr const char* kDefaultLineSettings = "9600,N,8,2";
inline constexpr std::chrono::milliseconds kDefaultReadTimeout{1000};

enum class Direction { Sent, Received };

// Why a device did not open.
enum class OpenFailure {
    None,
    Missing,              // nothing at that path, or no port of that number
    PermissionDenied,     // this user may not read and write it
    InUse,                // another program holds it
    NotATerminal,         // a file or device that is no serial port
    ControllingTerminal,  // the terminal this program runs on
    Other,
};

// What opening a port learnt of its USB adapter's latency: each reply of the radio waits in
// the adapter's chip up to its latency timer, once per acknowledged block.
struct AdapterLatency {
    bool lowLatencyOn = false;  // Linux: the driver holds ASYNC_LOW_LATENCY while the port is open
    // The timer as the system tells it once the port is open (after the flag); nothing where it
    // does not tell (a pseudo-terminal, an adapter without such a timer).
    std::optional<LatencyTimer> timer;
};

// Sees every byte the link moves: the data as the caller has it and the bytes on the wire.
// Used by qv-flash --trace; never by the protocol itself.
class TrafficObserver {
  public:
    virtual ~TrafficObserver() = default;
    virtual void OnTraffic(Direction direction, std::span<const std::uint8_t> data,
                           std::span<const std::uint8_t> wire, std::string_view lineSettings) = 0;
    // The device has opened, with what it told of its adapter's latency.
    virtual void OnOpened(std::string_view /*device*/, const AdapterLatency& /*latency*/) {}
};

class SerialLink {
  public:
    SerialLink();
    virtual ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Port n of the port table; 0 keeps the number. The number is looked up in the table now,
    // once: the link keeps the device it named, so a device plugged in later cannot shift it
    // onto another radio. Reopens an open port under the new name.
    bool SetPortNumber(int number);
    int GetPortNumber() const { return portNumber_; }
    // The device to open: a path of the port table as it was listed, or any device path
    // (qv-flash --port PATH). Empty: port number 1 of the table at the next open. Reopens an
    // open port under the new name.
    bool SetDevicePath(std::string path);
    std::string DeviceName() const;

    // Opens or closes only when the link is not already in the wanted state.
    bool SetOpen(bool wanted);
    // A device that cannot be opened leaves the link closed and holds nothing; a failure after
    // that (queues, line settings, time-outs, RTS) leaves it open for the caller's Close.
    // Opening an open link closes it first, so no handle is ever lost. The terminal this
    // program runs on is never opened as a port.
    bool Open();
    // False when there was no handle to close. On POSIX the port gets back the line settings
    // it had before it was opened.
    bool Close();
    bool IsOpen() const { return openFlag_ != 0; }
    // Why the last Open could not open its device; None when it could.
    OpenFailure LastOpenFailure() const { return openFailure_; }
    // What the last Open learnt of the adapter's latency; empty before the first.
    const AdapterLatency& OpenedAdapterLatency() const { return adapterLatency_; }

    // Stored without blanks; applied at once to an open port ("9600,N,8,2").
    bool SetLineSettings(std::string_view text);
    std::string GetLineSettings() const { return lineSettings_; }
    bool SetReadTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds GetReadTimeout() const { return readTimeout_; }

    // Discards unread received bytes, then writes. More than kTxScratchSize bytes: false, and
    // nothing is written. A port that does not take the bytes within their wire time and
    // kDrainAllowance has stopped: the write fails.
    bool WriteMasked(std::span<const std::uint8_t> bytes);
    bool WriteMaskedByte(std::uint8_t byte);
    // One byte never masked: sessionSeed, or idSum on an unencrypted link.
    bool WriteSessionByte();
    // Waits until every byte written has left the line: the driver's drain, and never earlier
    // than the bytes' own time on the wire at the line's speed and framing (a pseudo-terminal
    // drains at once). A pause that the radio needs after a frame starts here. False when the
    // port does not drain within the wire time and kDrainAllowance.
    bool WaitUntilSent();

    // Exactly buffer.size() bytes within the read time-out, unmasked on success.
    bool ReadMasked(std::span<std::uint8_t> buffer);
    // Bytes the last ReadMasked received (also when it fell short).
    std::size_t LastReadCount() const { return lastReadCount_; }

    // Whether the open port is an RS-232 port; spins 50 ms on a port that answers.
    bool IsRs232();

    // Called for every write and every read, on the thread that moves the bytes.
    void SetTrafficObserver(TrafficObserver* observer) { observer_ = observer; }

    // Protocol state kept with the link; computed by RadioLink.
    std::uint8_t unencryptedLink = 0;
    std::uint8_t sessionSeed = 0;
    std::uint8_t idSum = 0;
    std::uint8_t sessionMask = 0;

  private:
    using Clock = std::chrono::steady_clock;
    // What a backend keeps while its port is open (on POSIX, the line and the serial flags as
    // they were before).
    struct PlatformState;
    struct PlatformStateDeleter {
        void operator()(PlatformState* state) const;
    };

    // Backend operations, one definition per OS.
    // Also learns the adapter's latency (adapterLatency_), asking for low latency where the
    // OS has such a request.
    bool OpenDevice(const std::string& deviceName);
    bool CloseDevice();
    bool SetupQueues();
    bool ApplyLineSettings();
    bool ApplyTimeouts();
    bool ClearRts();
    bool PurgeReceive();
    // Every byte handed to the driver by the deadline, or false.
    bool WriteRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline);
    // The driver's transmit queue empty by the deadline, or false.
    bool DrainOutput(Clock::time_point deadline);
    // How many bytes the driver's transmit queue holds; nothing when the driver cannot tell.
    using QueuedBytes = std::function<std::optional<long long>()>;
    enum class QueueWait { Empty, Unknown, TimedOut };
    // Sleeps while the queue holds bytes, a slice of their time on the wire at a time, until it
    // is empty or the deadline has passed.
    QueueWait WaitForEmptyQueue(const QueuedBytes& queued, Clock::time_point deadline) const;
    // One timed read at real-time priority; `received` counts the bytes that arrived.
    bool ReadRaw(std::span<std::uint8_t> buffer, std::size_t& received);
    bool QueryRs232();

    bool WriteWithPurge(std::span<const std::uint8_t> data, std::span<const std::uint8_t> wire);
    void NotifyReceived(std::span<const std::uint8_t> wire);

    std::intptr_t handle_ = -1;
    std::unique_ptr<PlatformState, PlatformStateDeleter> platform_;
    OpenFailure openFailure_ = OpenFailure::None;
    AdapterLatency adapterLatency_;
    int openFlag_ = 0;
    int portNumber_ = 1;
    std::string devicePath_;
    std::uint16_t inputQueueSize_ = 512;
    std::uint16_t outputQueueSize_ = 512;
    std::string lineSettings_ = kDefaultLineSettings;
    std::chrono::nanoseconds characterTime_;  // of lineSettings_; 0 when it does not parse
    Clock::time_point lineIdleAt_{};          // when the bytes written so far are all out
    std::chrono::milliseconds readTimeout_ = kDefaultReadTimeout;
    std::chrono::milliseconds readTimeoutMultiplier_{0};
    std::array<std::uint8_t, kTxScratchSize> txScratch_{};
    std::size_t lastReadCount_ = 0;
    TrafficObserver* observer_ = nullptr;
};

}  // namespace qv
