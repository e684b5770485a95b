// Steps 9 to 14: from erasing the areas to closing the port.

#include <array>

#include "protocol/frames.h"
#include "workflow/block_transfer.h"
#include "workflow/job_steps.h"

namespace qv {

bool Stop(JobContext& job) {
    if (job.outcome.eraseStarted) {
        job.outcome.interrupted = true;
    } else {
        job.status = StatusCancelled;
    }
    return false;
}

bool SendAreaCommands(JobContext& job) {
    for (const int area : kAreaOrder) {
        if (job.outcome.eraseStarted && job.seat.StopRequested(JobPhase::Writing)) {
            return Stop(job);
        }
        if (!job.outcome.eraseStarted) {
            job.outcome.eraseStarted = true;  // the first area command erases region 1
            job.seat.WritingBegins(job.outcome);
        }
        const auto command = BuildAreaCommand(area);
        if (!job.link.WriteMasked(command) || !job.link.WaitForAck()) {
            return false;
        }
    }
    return true;
}

bool TransferBlocks(JobContext& job) {
    static const RecordList kNoBlocks;
    BlockTransfer transfer;
    transfer.seat = &job.seat;
    transfer.link = &job.link;
    transfer.mirror = &job.mirror;
    transfer.blocks = job.input.region1Blocks != nullptr ? job.input.region1Blocks : &kNoBlocks;
    transfer.roundsPerWrite = job.input.settings.roundsPerWrite;
    const bool sent = job.highSpeedConfirmed ? SendAcknowledged(transfer) : SendStreamed(transfer);
    job.outcome.blocksSent = transfer.blocksSent;
    return transfer.stopped ? Stop(job) : sent;
}

bool SendChecksumFrame(JobContext& job) {
    RadioLink& link = job.link;
    const std::uint16_t sum = job.mirror.ChecksumSum();
    const ChecksumFrame frame = BuildChecksumFrame(sum);
    job.outcome.checksum = sum;
    if (!link.WriteMaskedByte(frame.lead) || !link.WriteMasked(frame.first) ||
        !link.WriteMasked(frame.last) || !link.WriteMasked(frame.sum)) {
        return false;
    }
    job.outcome.checksumSent = true;
    return link.WaitForAck();
}

bool SendCommand5B(JobContext& job) {
    if (!job.link.WriteMaskedByte(kCmd5B) || !job.link.WaitForAck()) {
        job.status = StatusExchangeFailed;
        return false;
    }
    return true;
}

bool ExchangeEndCommand(RadioLink& link) {
    std::array<std::uint8_t, 1> reply{};
    return link.WriteMaskedByte(kCmdEnd) && link.ReadMasked(reply) && reply[0] == kAck;
}

bool SendEndCommand(JobContext& job) {
    if (!ExchangeEndCommand(job.link)) {
        job.status = StatusExchangeFailed;
        return false;
    }
    return true;
}

bool ClosePort(JobContext& job) {
    if (!job.link.SetOpen(false)) {
        job.status = StatusPortCloseFailed;
        return false;
    }
    return true;
}

}  // namespace qv
