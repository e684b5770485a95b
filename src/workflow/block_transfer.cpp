#include "workflow/block_transfer.h"

#include <algorithm>
#include <array>

#include "protocol/frames.h"
#include "protocol/protocol_constants.h"
#include "protocol/protocol_timing.h"
#include "serial/spin_wait.h"

namespace qv {

namespace {

int BlockCount(const BlockTransfer& transfer) {
    return static_cast<int>(transfer.blocks->size());
}

// The seat asked to stop: the transfer ends between two frames, nothing cut in half.
bool StopRequested(BlockTransfer& transfer) {
    transfer.stopped = transfer.seat->StopRequested(JobPhase::Writing);
    return transfer.stopped;
}

// `done` blocks have been handled, sent or empty: the bar and the status line follow.
void ShowProgress(BlockTransfer& transfer, int done) {
    const int total = BlockCount(transfer);
    transfer.seat->Progress(done, total);
    if (total == 0) {
        return;
    }
    std::string text = TransferStatusText(
        done, total, transfer.pace.TimeLeft(done, total, TransferPace::Clock::now()));
    if (text != transfer.lastStatus) {
        transfer.seat->StatusText(text, StatusKind::Progress);
        transfer.lastStatus = std::move(text);
    }
}

}  // namespace

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

bool SendStreamed(BlockTransfer& transfer) {
    RadioLink& link = *transfer.link;
    if (!ChangeSpeedUnconfirmed(link, kSpeedCode38400)) {
        return false;
    }
    std::int32_t round = 0;
    for (int i = 0; i < BlockCount(transfer); ++i) {
        if (StopRequested(transfer)) {
            return false;
        }
        if (round == transfer.roundsPerWrite) {
            // Back to 19200 for an ACK: the radio and the updater find each other again.
            round = 0;
            if (!ChangeSpeedConfirmed(link, kSpeedCode19200) ||
                !ChangeSpeedUnconfirmed(link, kSpeedCode38400)) {
                return false;
            }
        }
        ++round;
        const HexRecord& block = (*transfer.blocks)[static_cast<std::size_t>(i)];
        if (block.count != 0) {
            // The radio programs the block once the frame has left the line.
            if (!SendBlockFrame(link, *transfer.mirror, block, kCmdStreamedBlock) ||
                !link.WaitUntilSent()) {
                return false;
            }
            ++transfer.blocksSent;
            SpinWait(kStreamedBlockPause);
        }
        ShowProgress(transfer, i + 1);
    }
    if (!ChangeSpeedConfirmed(link, kSpeedCode19200)) {
        return false;
    }
    ShowProgress(transfer, BlockCount(transfer));
    return true;
}

bool SendAcknowledged(BlockTransfer& transfer) {
    RadioLink& link = *transfer.link;
    if (!ChangeSpeedConfirmed(link, kSpeedCode115200)) {
        return false;
    }
    for (int i = 0; i < BlockCount(transfer); ++i) {
        if (StopRequested(transfer)) {
            return false;
        }
        const HexRecord& block = (*transfer.blocks)[static_cast<std::size_t>(i)];
        if (block.count != 0) {
            std::array<std::uint8_t, 1> reply{};
            if (!SendBlockFrame(link, *transfer.mirror, block, kCmdAcknowledgedBlock)) {
                return false;
            }
            ++transfer.blocksSent;
            if (!link.ReadMasked(reply) || reply[0] != kAck) {
                return false;
            }
            SleepFor(kAcknowledgedBlockPause);
        }
        ShowProgress(transfer, i + 1);
    }
    ShowProgress(transfer, BlockCount(transfer));
    return true;
}

}  // namespace qv
