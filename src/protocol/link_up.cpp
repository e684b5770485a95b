// Finding the boot loader's speed, switching the local speed and the acknowledgements.

#include "protocol/protocol_timing.h"
#include "protocol/radio_link.h"
#include "serial/spin_wait.h"

namespace qv {
namespace {

// Puts the read time-out back on every way out of an operation.
class ReadTimeoutRestorer {
  public:
    explicit ReadTimeoutRestorer(SerialLink& link) : link_(link), saved_(link.GetReadTimeout()) {}
    ~ReadTimeoutRestorer() { link_.SetReadTimeout(saved_); }
    ReadTimeoutRestorer(const ReadTimeoutRestorer&) = delete;
    ReadTimeoutRestorer& operator=(const ReadTimeoutRestorer&) = delete;

  private:
    SerialLink& link_;
    std::chrono::milliseconds saved_;
};

std::string_view SpeedForCode(int speedCode) {
    switch (speedCode) {
        case kSpeedCode38400:
            return "38400";
        case kSpeedCode57600:
            return "57600";
        case kSpeedCode115200:
            return "115200";
        default:
            return "19200";
    }
}

}  // namespace

bool RadioLink::PollFor(std::uint8_t wanted, std::chrono::milliseconds pause,
                        LinkUpAttempt& attempt) {
    for (int poll = 0; poll < kLinkUpPolls && !Stopping(); ++poll) {
        std::uint8_t byte = 0;
        if (ReadMasked(std::span(&byte, 1))) {
            if (byte == wanted) {
                return true;
            }
            ++attempt.otherBytes;
        }
        SleepFor(pause);
    }
    return false;
}

int RadioLink::LinkUpProbe() {
    constexpr int kFound = 0;
    constexpr int kNotFound = 1;
    ReadTimeoutRestorer restorer(*this);
    // Parity and data bits as they stand; the stop bits of the settings from the first probe on.
    std::string tail = LineTail();
    if (!tail.empty()) {
        tail.pop_back();
    }
    tail += std::to_string(linkStopBits);
    StartSession();
    lastLinkUp_.clear();

    for (int index = 0; index < kLinkUpAttempts && !Stopping(); ++index) {
        LinkUpAttempt& attempt = lastLinkUp_.emplace_back();
        attempt.speed = std::string(kSpeedTable[index]);
        if (linkUpObserver_ != nullptr) {
            linkUpObserver_->OnSpeedTried(attempt.speed);
        }
        SetReadTimeout(kLinkUpReadTimeout);
        SetLineSettings(attempt.speed + tail);
        SpinWait(kLineChangeSettle);
        // The polls' time-outs count from the moment the probe has left the line: at 1200
        // baud that is 80 ms after the write.
        if (!WriteMasked(kProbeCommand) || !WaitUntilSent()) {
            return kNotFound;
        }
        attempt.synSeen = PollFor(kSyn, kSynPollPause, attempt);
        if (!attempt.synSeen) {
            continue;
        }
        // The boot loader answers ACK only at 19200 baud, whatever speed it heard the probe at.
        SetLineSettings(std::string(SpeedForCode(kSpeedCode19200)) + tail);
        SpinWait(kLineChangeSettle);
        attempt.ackSeen = PollFor(kAck, kAckPollPause, attempt);
        if (attempt.ackSeen) {
            return kFound;
        }
    }
    return kNotFound;
}

// Nothing goes over the wire: the caller has told the radio with a command before.
void RadioLink::SwitchSpeed(int speedCode) {
    ReadTimeoutRestorer restorer(*this);
    SetLineSettings(std::string(SpeedForCode(speedCode)) + LineTail());
    SpinWait(kLineChangeSettle);
}

bool RadioLink::AckExchange() {
    std::uint8_t answer = 0;
    return WriteMaskedByte(kAck) && ReadMasked(std::span(&answer, 1)) && answer == kAck;
}

bool RadioLink::WaitForAck() {
    ReadTimeoutRestorer restorer(*this);
    SetReadTimeout(kWaitForAckTimeout);
    std::uint8_t answer = 0;
    return ReadMasked(std::span(&answer, 1)) && answer == kAck;
}

}  // namespace qv
