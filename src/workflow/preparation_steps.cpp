// Steps 1 to 8: from opening the port to the line speed the transfer starts at.

#include <algorithm>
#include <array>

#include "protocol/protocol_timing.h"
#include "serial/spin_wait.h"
#include "workflow/block_transfer.h"
#include "workflow/job_messages.h"
#include "workflow/job_status.h"
#include "workflow/job_steps.h"
#include "workflow/port_text.h"
#include "workflow/version_text.h"

namespace qv {

namespace {

bool Fail(JobContext& job, std::int32_t status) {
    job.status = status;
    return false;
}

bool ReadByte(RadioLink& link, std::uint8_t& byte) {
    std::array<std::uint8_t, 1> reply{};
    if (!link.ReadMasked(reply)) {
        return false;
    }
    byte = reply[0];
    return true;
}

// The 0x0B handshake under the step's read time-out.
bool HighSpeedHandshake(JobContext& job) {
    RadioLink& link = job.link;
    std::uint8_t reply = 0;
    if (!link.WriteMaskedByte(kCmdHighSpeed) || !ReadByte(link, reply) || reply != kAck) {
        return false;
    }
    link.SwitchSpeed(kSpeedCode115200);
    SpinWait(kHighSpeedSwitchSettle);
    if (!link.WriteMaskedByte(kAck)) {
        return false;
    }
    if (!ReadByte(link, reply) || reply != kAck) {
        return true;  // the radio stays at 19200: the settle step brings us back there
    }
    if (!link.WriteMaskedByte(kAck)) {
        return false;
    }
    job.highSpeedConfirmed = true;
    return true;
}

// Names each speed of the link-up as it is tried: on a wrong port the link-up takes about
// twenty seconds, which the user should not spend looking at a still window.
class LinkUpStatus final : public LinkUpObserver {
  public:
    explicit LinkUpStatus(JobContext& job) : job_(job) {}
    void OnSpeedTried(std::string_view speed) override {
        job_.seat.StatusText(LinkUpStatusText(job_.port, speed), StatusKind::Step);
    }

  private:
    JobContext& job_;
};

// Tries a busy port again after each pause until it opens, fails for another reason, the
// retry time is over or the seat asks to stop.
enum class BusyRetry { Opened, Failed, Stopped };

BusyRetry RetryBusyPort(JobContext& job) {
    job.seat.StatusText(BusyPortText(job.port, kBusyPortRetryTime), StatusKind::Step);
    const auto deadline = std::chrono::steady_clock::now() + kBusyPortRetryTime;
    while (std::chrono::steady_clock::now() < deadline) {
        if (job.seat.StopRequested(JobPhase::Preparing)) {
            return BusyRetry::Stopped;
        }
        SleepFor(kBusyPortRetryPause);
        if (job.link.SetOpen(true)) {
            return BusyRetry::Opened;
        }
        if (job.link.LastOpenFailure() != OpenFailure::InUse) {
            return BusyRetry::Failed;
        }
    }
    return BusyRetry::Failed;
}

// Blocks that carry data: each waits for its acknowledgement.
int DataBlocks(const RecordList* blocks) {
    if (blocks == nullptr) {
        return 0;
    }
    return static_cast<int>(std::count_if(blocks->begin(), blocks->end(),
                                          [](const HexRecord& block) { return block.count != 0; }));
}

// The adapter's latency timer is said once the radio has answered: then it is this radio's
// cable, and the window waits at the confirmation while the text stands.
void TellAdapterLatency(JobContext& job) {
    const std::optional<LatencyTimer>& timer = job.link.OpenedAdapterLatency().timer;
    if (timer && timer->value > kLatencyWorthTelling) {
        job.seat.StatusText(
            AdapterLatencyText(job.port, *timer, DataBlocks(job.input.region1Blocks)),
            StatusKind::Step);
    }
}

}  // namespace

bool OpenPort(JobContext& job) {
    bool opened = job.link.SetOpen(true);
    if (!opened && job.link.LastOpenFailure() == OpenFailure::InUse) {
        const BusyRetry retry = RetryBusyPort(job);
        if (retry == BusyRetry::Stopped) {
            return Stop(job);
        }
        opened = retry == BusyRetry::Opened;
    }
    if (!opened) {
        job.outcome.openFailure = job.link.LastOpenFailure();
        return Fail(job, StatusPortOpenFailed);
    }
    SpinWait(kPortOpenSettle);
    return true;
}

bool LinkUp(JobContext& job) {
    LinkUpStatus status(job);
    job.link.SetLinkUpObserver(&status);
    job.link.SetStopCheck([&job] { return job.seat.StopRequested(JobPhase::Preparing); });
    const bool found = job.link.LinkUpProbe() == 0;
    job.link.SetStopCheck({});
    job.link.SetLinkUpObserver(nullptr);
    if (!found && job.seat.StopRequested(JobPhase::Preparing)) {
        return Stop(job);
    }
    return found;
}

bool ReadIdentification(JobContext& job) {
    RadioLink& link = job.link;
    if (!link.WriteMaskedByte(kCmdIdentify) || !link.ReadMasked(job.identificationBlock)) {
        return Fail(job, StatusExchangeFailed);
    }
    std::copy_n(job.identificationBlock.begin(), job.outcome.modelCode.size(),
                job.outcome.modelCode.begin());
    job.outcome.identification = job.identificationBlock;
    job.outcome.identified = true;
    link.SumIdentification(job.identificationBlock);
    if (!link.WriteSessionByte() || !link.AckExchange()) {
        return Fail(job, StatusExchangeFailed);
    }
    // Only now: the radio masks from the ACK exchange on, and so do we.
    link.SetSessionMask(job.identificationBlock);
    return true;
}

bool CheckModel(JobContext& job) {
    if (!std::equal(kExpectedModelCode.begin(), kExpectedModelCode.end(),
                    job.identificationBlock.begin())) {
        return Fail(job, StatusModelMismatch);
    }
    return true;
}

bool ReadAuxVersion(JobContext& job) {
    RadioLink& link = job.link;
    std::array<std::uint8_t, kVersionReplySize> auxVersion{};
    // The auxiliary version is optional: no answer to 0x40 is no failure, a failed ACK after
    // an answer is.
    if (link.WriteMaskedByte(kCmdAuxVersion) && link.ReadMasked(auxVersion)) {
        if (!link.AckExchange()) {
            return Fail(job, StatusExchangeFailed);
        }
    }
    return true;
}

bool ReadRadioVersion(JobContext& job) {
    RadioLink& link = job.link;
    if (!link.WriteMaskedByte(kCmdVersion) || !link.ReadMasked(job.radioVersion) ||
        !link.AckExchange()) {
        return Fail(job, StatusExchangeFailed);
    }
    job.outcome.versionRead = true;
    job.outcome.radioVersion = job.radioVersion;
    job.outcome.radioVersionText = RadioVersionText(job.radioVersion);
    job.seat.StatusText(RadioFoundText(job.radioVersion), StatusKind::Step);
    TellAdapterLatency(job);
    return true;
}

bool ConfirmVersionChange(JobContext& job) {
    if (!ReadRadioVersion(job)) {
        return false;
    }
    std::optional<std::string> radioVersion;
    if (RadioHoldsVersion(job.radioVersion)) {
        radioVersion = VersionText(job.radioVersion);
    }
    if (job.seat.ConfirmVersionChange(radioVersion, VersionText(job.input.versionLabel))) {
        return true;
    }
    return Fail(job, StatusCancelled);
}

bool RequestHighSpeed(JobContext& job) {
    job.highSpeedConfirmed = false;
    RadioLink& link = job.link;
    const auto savedTimeout = link.GetReadTimeout();
    link.SetReadTimeout(kHighSpeedRequestTimeout);
    const bool handshakeDone = HighSpeedHandshake(job);
    link.SetReadTimeout(savedTimeout);
    job.outcome.highSpeedConfirmed = job.highSpeedConfirmed;
    return handshakeDone;
}

bool SettleSpeed(JobContext& job) {
    if (job.highSpeedConfirmed) {
        return true;
    }
    RadioLink& link = job.link;
    link.SwitchSpeed(kSpeedCode19200);
    SpinWait(kLowSpeedReturnSettle);
    std::uint8_t reply = 0;
    // The radio answers the ACK at 19200 with any byte; that it answers is what counts.
    return link.WriteMaskedByte(kAck) && ReadByte(link, reply);
}

}  // namespace qv
