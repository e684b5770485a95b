#include <array>
#include <thread>

#include "protocol/frames.h"
#include "protocol/protocol_constants.h"
#include "protocol/protocol_timing.h"
#include "serial/spin_wait.h"
#include "workflow/transfer_job.h"

namespace qv {

namespace {

// The failure end: no progress and no speed change; the port keeps the speed it had.
void FailTransfer(TransferJob& job) {
    job.result = 0;
}

// The host asked to stop: the worker ends between two frames, nothing cut in half.
void StopTransfer(TransferJob& job) {
    job.stopped = true;
    job.result = 0;
}

bool StopRequested(const TransferJob& job) {
    return job.owner->StopRequested();
}

void FinishTransfer(TransferJob& job) {
    job.owner->SetProgressPosition(static_cast<int>(job.blocks.size()));
    job.result = 1;
}

}  // namespace

int RunTransferJob(JobHost& host, void (*worker)(TransferJob&), TransferJob& job) {
    return host.RunWorker([&job, worker] {
        worker(job);
        return static_cast<int>(job.result);
    });
}

bool ChangeSpeedUnconfirmed(RadioLink& link, std::uint8_t speedCode) {
    const auto command = BuildSpeedChangeCommand(speedCode);
    if (!link.WriteMaskedByte(command[0]) || !link.WriteMaskedByte(command[1]) ||
        !link.WaitUntilSent()) {
        return false;
    }
    SpinWait(kSpeedChangeLead);
    link.SwitchSpeed(speedCode);
    return true;
}

bool ChangeSpeedConfirmed(RadioLink& link, std::uint8_t speedCode) {
    return ChangeSpeedUnconfirmed(link, speedCode) && link.AckExchange();
}

bool SendBlockFrame(RadioLink& link, ImageMirror& mirror, const HexRecord& block,
                    std::uint8_t lead) {
    if (block.count <= 0 || static_cast<std::size_t>(block.count) > kMaxBlockData) {
        return false;
    }
    const auto length = static_cast<std::size_t>(block.count);
    std::array<std::uint8_t, kMaxBlockData> data{};
    for (std::size_t k = 0; k < length; ++k) {
        data[k] = ByteValue(block.hexText[2 * k], block.hexText[2 * k + 1]);
    }
    const std::span<const std::uint8_t> blockData(data.data(), length);
    if (!mirror.Store(block.address, blockData)) {
        return false;
    }
    std::array<std::uint8_t, kMaxBlockFrame> frame{};
    const std::size_t frameLength = BuildBlockFrame(lead, block.address, blockData, frame);
    return link.WriteMasked(std::span<const std::uint8_t>(frame.data(), frameLength));
}

void LinkUpWorker(TransferJob& job) {
    job.link->SetStopCheck([&job] { return StopRequested(job); });
    job.result = job.link->LinkUpProbe() == 0 ? 1 : 0;
    job.link->SetStopCheck({});
    job.stopped = job.result == 0 && StopRequested(job);
}

void StreamedTransferWorker(TransferJob& job) {
    RadioLink& link = *job.link;
    if (!ChangeSpeedUnconfirmed(link, kSpeedCode38400)) {
        return FailTransfer(job);
    }
    std::int32_t round = 0;
    for (std::size_t i = 0; i < job.blocks.size(); ++i) {
        if (StopRequested(job)) {
            return StopTransfer(job);
        }
        if (round == job.roundsPerWrite) {
            // Back to 19200 for an ACK: the radio and the updater find each other again.
            round = 0;
            if (!ChangeSpeedConfirmed(link, kSpeedCode19200) ||
                !ChangeSpeedUnconfirmed(link, kSpeedCode38400)) {
                return FailTransfer(job);
            }
        }
        ++round;
        const HexRecord& block = job.blocks[i];
        if (block.count != 0) {
            // The radio programs the block once the frame has left the line.
            if (!SendBlockFrame(link, *job.mirror, block, kCmdStreamedBlock) ||
                !link.WaitUntilSent()) {
                return FailTransfer(job);
            }
            ++job.blocksSent;
            SpinWait(kStreamedBlockPause);
        }
        job.owner->SetProgressPosition(static_cast<int>(i));
    }
    if (!ChangeSpeedConfirmed(link, kSpeedCode19200)) {
        return FailTransfer(job);
    }
    FinishTransfer(job);
}

void AcknowledgedTransferWorker(TransferJob& job) {
    RadioLink& link = *job.link;
    if (!ChangeSpeedConfirmed(link, kSpeedCode115200)) {
        return FailTransfer(job);
    }
    for (std::size_t i = 0; i < job.blocks.size(); ++i) {
        if (StopRequested(job)) {
            return StopTransfer(job);
        }
        const HexRecord& block = job.blocks[i];
        if (block.count != 0) {
            std::array<std::uint8_t, 1> reply{};
            if (!SendBlockFrame(link, *job.mirror, block, kCmdAcknowledgedBlock)) {
                return FailTransfer(job);
            }
            ++job.blocksSent;
            if (!link.ReadMasked(reply) || reply[0] != kAck) {
                return FailTransfer(job);
            }
            std::this_thread::sleep_for(kAcknowledgedBlockPause);
        }
        job.owner->SetProgressPosition(static_cast<int>(i));
    }
    FinishTransfer(job);
}

}  // namespace qv
