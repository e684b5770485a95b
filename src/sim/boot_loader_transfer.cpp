// The boot loader's area commands, speed changes, block frames and checksum frame.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "protocol/protocol_constants.h"
#include "protocol/protocol_timing.h"
#include "sim/boot_loader.h"

namespace qv {

namespace {

// How long before the end of the updater's wait a late area command is answered: enough for a
// loaded machine to pass the reply on in time.
constexpr std::chrono::milliseconds kLateAreaMargin{400};

// The streamed transfer returns to 19200 every roundsPerWrite blocks, at most 90.
constexpr int kLongestStreamedRun = 90;

int SpeedOfCode(std::uint8_t code) {
    switch (code) {
        case kSpeedCode19200:
            return 19200;
        case kSpeedCode38400:
            return 38400;
        case kSpeedCode57600:
            return 57600;
        case kSpeedCode115200:
            return 115200;
        default:
            return 0;
    }
}

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

std::string Format(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace

void BootLoader::HandleAreaCommand() {
    const bool digits =
        frame_[1] >= '0' && frame_[1] <= '9' && frame_[2] >= '0' && frame_[2] <= '9';
    const int area = digits ? (frame_[1] - '0') * 10 + (frame_[2] - '0') : -1;
    const int due = kAreaOrder[areaIndex_];
    if (area != due) {
        Deviation(
            Format("area command 52 %02X %02X where area %02d was due", frame_[1], frame_[2], due));
    }
    if (area == kAreaOrder[0]) {
        std::fill(flash_.begin(), flash_.end(), 0xFF);  // area 10 erases region 1
        erased_ = true;
    }
    if (++areaIndex_ == kAreaOrder.size()) {
        stage_ = BootStage::AwaitTransfer;
    }
    if (FindSimFault(options_.faults, SimFaultKind::LateArea) != nullptr) {
        // The updater sends nothing while it waits for this answer: the radio may stand still.
        std::this_thread::sleep_for(kWaitForAckTimeout - kLateAreaMargin);
    }
    Reply({kAck});
}

void BootLoader::HandleTransferByte(std::uint8_t value) {
    const bool changeDue = lastSpeedCode_ == 0 && value != kCmdSpeedChange;
    if (changeDue && value != kCmdEnd) {
        Deviation(Format("byte 0x%02X before the transfer's speed change", value));
    }
    const bool unconfirmed =
        (lastSpeedCode_ == kSpeedCode19200 || lastSpeedCode_ == kSpeedCode115200) && !ackDone_;
    if (unconfirmed && value != kAck) {
        Deviation(Format("speed change to %d baud not confirmed by an ACK exchange",
                         SpeedOfCode(lastSpeedCode_)));
        ackDone_ = true;  // noted once
    }
    switch (value) {
        case kCmdSpeedChange:
            BeginFrame(value, 2);
            break;
        case kAck:
            HandleTransferAck();
            break;
        case kCmdChecksum:
            BeginFrame(value, 11);
            break;
        case kCmdStreamedBlock:
        case kCmdAcknowledgedBlock: {
            const SimFault* hangup = FindSimFault(options_.faults, SimFaultKind::HangupBlock);
            if (hangup != nullptr && hangup->value == frameIndex_) {
                EndJob("hung up");
                hungUp_ = true;
                port_.HangUp();
                return;
            }
            if (value == kCmdStreamedBlock) {
                CheckProgrammingGap();
            }
            BeginFrame(value, 0);
            break;
        }
        default:
            HandleEnd(value);
            break;
    }
}

void BootLoader::HandleSpeedChange() {
    const std::uint8_t code = frame_[1];
    const int baud = SpeedOfCode(code);
    if (baud == 0) {
        Deviation(Format("speed change with code 0x%02X", code));
        return;
    }
    const std::uint8_t previous = lastSpeedCode_;
    listenBaud_ = baud;
    lastSpeedCode_ = code;
    ackAllowed_ = true;
    ackDone_ = false;
    if (job_.transfer == "none") {
        if (code == kSpeedCode115200) {
            job_.transfer = "acknowledged";
            if (!job_.highSpeed) {
                Deviation("acknowledged transfer without the 115200 handshake");
            }
        } else if (code == kSpeedCode38400) {
            job_.transfer = "streamed";
            if (job_.highSpeed) {
                Deviation("streamed transfer although 115200 was confirmed");
            }
        } else {
            Deviation(Format("transfer begins with a change to %d baud", baud));
        }
    } else if (job_.transfer == "acknowledged") {
        Deviation(Format("speed change to %d baud inside the acknowledged transfer", baud));
    } else if (code == kSpeedCode38400 && previous == kSpeedCode19200) {
        ++report_.resynchronisations;
        framesSinceResync_ = 0;
    }
}

void BootLoader::HandleTransferAck() {
    if (!ackAllowed_) {
        Unexpected(kAck);
        return;
    }
    unexpectedRun_ = false;
    if (lastSpeedCode_ == kSpeedCode38400) {
        Deviation("ACK exchange after the unconfirmed change to 38400 baud");
    }
    ackAllowed_ = false;
    ackDone_ = true;
    if (nakPending_) {
        nakPending_ = false;
        Reply({kNak});  // a refused streamed block shows at the next resynchronisation
        return;
    }
    Reply({kAck});
}

void BootLoader::HandleBlockFrame() {
    const bool streamed = frame_[0] == kCmdStreamedBlock;
    const int index = frameIndex_++;
    ++report_.frames;
    const std::uint32_t address = BigEndian32(&frame_[1]);
    const std::size_t count = frame_.size() - 7;
    bool accepted = CheckBlockFrame(streamed, index, address, count);
    const SimFault* nak = FindSimFault(options_.faults, SimFaultKind::NakBlock);
    if (nak != nullptr && nak->value == index) {
        accepted = false;
    }
    if (accepted) {
        WriteBlock(address, &frame_[6], count);
        lastBlockEnd_ = address + static_cast<std::uint32_t>(count);
        ++job_.blocks;
    }
    if (!streamed) {
        Reply({accepted ? kAck : kNak});
        return;
    }
    // The frame's end follows from its start and its length: a pseudo-terminal that hands over
    // the frame's tail late does not move it.
    streamedFrameSeen_ = true;
    streamedFrameEnd_ = frameStart_ + ByteTimeOnWire(lastByte_.line) * frame_.size();
    nakPending_ = nakPending_ || !accepted;
    if (++framesSinceResync_ > kLongestStreamedRun && !resyncNoted_) {
        Deviation("more than 90 streamed block frames without a return to 19200 baud");
        resyncNoted_ = true;
    }
}

// Only the modelled line knows when bytes left it. A frame begins on the line when its first
// byte was written, or when the frame before it has left, whichever is later.
void BootLoader::CheckProgrammingGap() {
    frameStart_ = lastByte_.arrived;
    if (!options_.lineRate || !streamedFrameSeen_) {
        return;
    }
    frameStart_ = std::max(frameStart_, streamedFrameEnd_);
    const std::chrono::duration<double, std::milli> gap = lastByte_.arrived - streamedFrameEnd_;
    double& shortest = job_.shortestProgrammingGapMs;
    shortest = shortest < 0 ? gap.count() : std::min(shortest, gap.count());
    if (gap < kSimProgrammingTime - kSimTimingAllowance && !programmingGapNoted_) {
        programmingGapNoted_ = true;
        Deviation(
            Format("no time to program: a streamed frame began %.1f ms after the previous "
                   "one left the line; the radio needs %d ms",
                   gap.count(), static_cast<int>(kSimProgrammingTime.count())));
    }
}

bool BootLoader::CheckBlockFrame(bool streamed, int index, std::uint32_t address,
                                 std::size_t count) {
    const int dueBaud = streamed ? 38400 : 115200;
    const char* dueMode = streamed ? "streamed" : "acknowledged";
    if (listenBaud_ != dueBaud || job_.transfer != dueMode) {
        Deviation(Format("%s block frame %d at %d baud in a %s transfer", dueMode, index,
                         listenBaud_, job_.transfer.c_str()));
    }
    if (!erased_) {
        Deviation(Format("block frame at 0x%08X before area 10 erased region 1", address));
        erased_ = true;  // noted once
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + frame_[6 + i]);
    }
    bool accepted = true;
    if (sum != frame_.back()) {
        Deviation(Format("block frame at 0x%08X carries sum 0x%02X, its data sum to 0x%02X",
                         address, frame_.back(), sum));
        accepted = false;
    }
    if (address < kSimFlashFirst || address + count > kSimFlashFirst + kSimFlashSize) {
        Deviation(Format("block frame at 0x%08X (%zu bytes) outside region 1", address, count));
        accepted = false;
    } else if (address < lastBlockEnd_) {
        Deviation(Format("block frame at 0x%08X overlaps the block that ended at 0x%08X", address,
                         lastBlockEnd_));
    }
    return accepted;
}

void BootLoader::WriteBlock(std::uint32_t address, const std::uint8_t* data, std::size_t length) {
    // Flash programming only clears bits: a block over unerased flash comes out wrong.
    const std::size_t offset = address - kSimFlashFirst;
    for (std::size_t i = 0; i < length; ++i) {
        flash_[offset + i] &= data[i];
    }
}

std::uint16_t BootLoader::FlashSum(std::uint32_t first, std::uint32_t last) const {
    std::uint16_t sum = 0;
    for (std::uint32_t a = first; a <= last; ++a) {
        sum = static_cast<std::uint16_t>(sum + flash_[a - kSimFlashFirst]);
    }
    return sum;
}

void BootLoader::HandleChecksumFrame() {
    if (job_.transfer == "streamed" && listenBaud_ != 19200) {
        Deviation(
            Format("checksum frame at %d baud; the streamed transfer ends at 19200", listenBaud_));
    }
    const std::uint32_t first = BigEndian32(&frame_[1]);
    const std::uint32_t last = BigEndian32(&frame_[5]);
    const std::uint16_t sent = static_cast<std::uint16_t>((frame_[9] << 8) | frame_[10]);
    bool match = first == kChecksumFirst && last == kChecksumLast;
    if (!match) {
        Deviation(Format("checksum range %08X..%08X, not 08010000..080DFFEF", first, last));
    }
    const std::uint16_t own = FlashSum(kChecksumFirst, kChecksumLast);
    if (sent != own) {
        Deviation(Format("checksum 0x%04X differs from the flash's 0x%04X", sent, own));
        match = false;
    }
    if (FindSimFault(options_.faults, SimFaultKind::BadChecksum) != nullptr) {
        match = false;
    }
    job_.checksumAcked = match;
    stage_ = BootStage::AwaitCommand5B;
    Reply({match ? kAck : kNak});
}

}  // namespace qv
