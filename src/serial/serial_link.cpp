// The part of SerialLink that is the same on every OS; the backend files hold the rest.

#include "serial/serial_link.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "serial/line_settings.h"
#include "serial/port_table.h"
#include "serial/serial_timing.h"
#include "serial/spin_wait.h"
#include "serial/wire_time.h"

namespace qv {

namespace {

std::chrono::nanoseconds CharacterTimeOf(std::string_view lineText) {
    const auto settings = ParseLineSettings(lineText);
    return settings ? CharacterTime(*settings) : std::chrono::nanoseconds{0};
}

}  // namespace

SerialLink::SerialLink() : characterTime_(CharacterTimeOf(kDefaultLineSettings)) {}

// The OS would release the port at exit anyway; closing here keeps links that tests and
// qv-flash create and drop from holding descriptors.
SerialLink::~SerialLink() {
    if (IsOpen()) {
        Close();
    }
}

bool SerialLink::SetPortNumber(int number) {
    if (number != 0) {
        portNumber_ = number;
        devicePath_ = DeviceNameForPort(number);
    }
    if (!IsOpen()) {
        return true;
    }
    return Close() && Open();
}

bool SerialLink::SetDevicePath(std::string path) {
    devicePath_ = std::move(path);
    if (!IsOpen()) {
        return true;
    }
    return Close() && Open();
}

std::string SerialLink::DeviceName() const {
    return devicePath_.empty() ? DeviceNameForPort(portNumber_) : devicePath_;
}

bool SerialLink::SetOpen(bool wanted) {
    if (IsOpen() == wanted) {
        return true;
    }
    return wanted ? Open() : Close();
}

// A failure after the device has opened leaves the link open: the caller's Close releases it.
bool SerialLink::Open() {
    if (IsOpen()) {
        Close();
    }
    openFailure_ = OpenFailure::None;
    adapterLatency_ = {};
    if (!OpenDevice(DeviceName())) {
        return false;
    }
    openFlag_ = 1;
    if (observer_ != nullptr) {
        observer_->OnOpened(DeviceName(), adapterLatency_);
    }
    return SetupQueues() && ApplyLineSettings() && ApplyTimeouts() && ClearRts();
}

bool SerialLink::Close() {
    if (IsOpen()) {
        WaitUntilSent();  // the last bytes leave before the line is put back as it was
    }
    openFlag_ = 0;
    return CloseDevice();
}

// The bytes already written leave at the old speed: switching under them would garble them
// on a cable.
bool SerialLink::SetLineSettings(std::string_view text) {
    const bool drained = !IsOpen() || WaitUntilSent();
    lineSettings_.clear();
    std::copy_if(text.begin(), text.end(), std::back_inserter(lineSettings_),
                 [](char c) { return c != ' ' && c != '\t'; });
    characterTime_ = CharacterTimeOf(lineSettings_);
    return IsOpen() ? drained && ApplyLineSettings() : true;
}

bool SerialLink::SetReadTimeout(std::chrono::milliseconds timeout) {
    readTimeout_ = std::max(timeout, std::chrono::milliseconds{0});
    return IsOpen() ? ApplyTimeouts() : true;
}

bool SerialLink::WriteMasked(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > txScratch_.size()) {
        return false;
    }
    std::transform(bytes.begin(), bytes.end(), txScratch_.begin(),
                   [this](std::uint8_t b) { return static_cast<std::uint8_t>(b ^ sessionMask); });
    return WriteWithPurge(bytes, std::span(txScratch_.data(), bytes.size()));
}

bool SerialLink::WriteMaskedByte(std::uint8_t byte) {
    return WriteMasked(std::span(&byte, 1));
}

bool SerialLink::WriteSessionByte() {
    const std::uint8_t byte = unencryptedLink == 0 ? sessionSeed : idSum;
    return WriteWithPurge(std::span(&byte, 1), std::span(&byte, 1));
}

// Every write drops what arrived unread, so an answer can only follow its command.
bool SerialLink::WriteWithPurge(std::span<const std::uint8_t> data,
                                std::span<const std::uint8_t> wire) {
    if (observer_ != nullptr) {
        observer_->OnTraffic(Direction::Sent, data, wire, lineSettings_);
    }
    PurgeReceive();
    // The bytes queue behind those still on the wire.
    const auto start = std::max(Clock::now(), lineIdleAt_);
    const auto wireTime = characterTime_ * static_cast<long long>(wire.size());
    if (!WriteRaw(wire, start + wireTime + kDrainAllowance)) {
        return false;
    }
    lineIdleAt_ = std::chrono::time_point_cast<Clock::duration>(start + wireTime);
    return true;
}

bool SerialLink::WaitUntilSent() {
    if (!IsOpen()) {
        return false;
    }
    const auto floor = lineIdleAt_ + kWireTimeSlack;
    if (!DrainOutput(std::max(Clock::now(), lineIdleAt_) + kDrainAllowance)) {
        return false;
    }
    SleepFor(floor - Clock::now());
    return true;
}

SerialLink::QueueWait SerialLink::WaitForEmptyQueue(const QueuedBytes& queued,
                                                    Clock::time_point deadline) const {
    for (;;) {
        const std::optional<long long> bytes = queued();
        if (!bytes) {
            return QueueWait::Unknown;
        }
        if (*bytes <= 0) {
            return QueueWait::Empty;
        }
        if (Clock::now() >= deadline) {
            return QueueWait::TimedOut;
        }
        const auto queuedTime =
            std::chrono::duration_cast<std::chrono::milliseconds>(characterTime_ * *bytes);
        SleepFor(
            std::clamp(queuedTime, std::chrono::milliseconds{1}, kDrainPollLimit));
    }
}

bool SerialLink::ReadMasked(std::span<std::uint8_t> buffer) {
    std::size_t received = 0;
    const bool readOk = ReadRaw(buffer, received);
    lastReadCount_ = std::min(received, buffer.size());
    if (lastReadCount_ > 0) {
        // The radio answers only what it has received: whatever was written before has left
        // the line, however fast the pseudo-terminal or adapter passed it on.
        lineIdleAt_ = std::min(lineIdleAt_, Clock::now());
    }
    NotifyReceived(buffer.first(lastReadCount_));
    if (!readOk || lastReadCount_ < buffer.size()) {
        return false;
    }
    for (auto& byte : buffer) {
        byte ^= sessionMask;
    }
    return true;
}

void SerialLink::NotifyReceived(std::span<const std::uint8_t> wire) {
    if (observer_ == nullptr) {
        return;
    }
    std::vector<std::uint8_t> data(wire.begin(), wire.end());
    for (auto& byte : data) {
        byte ^= sessionMask;
    }
    observer_->OnTraffic(Direction::Received, data, wire, lineSettings_);
}

bool SerialLink::IsRs232() {
    SpinWait(kRs232SettleBefore);
    const bool rs232 = QueryRs232();
    SpinWait(kRs232SettleAfter);
    return rs232;
}

}  // namespace qv
