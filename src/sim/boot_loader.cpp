// The boot loader's link-up, session and version stages, and the dispatch of bytes.

#include "sim/boot_loader.h"

#include <cstdio>

#include "protocol/protocol_constants.h"

namespace qv {

namespace {

constexpr int kLinkBaud = 19200;  // where every job runs after the link-up
constexpr int kHighSpeedBaud = 115200;
constexpr std::size_t kAreaCommandSize = 3;     // "R" and two digits
constexpr std::size_t kBlockHeaderSize = 6;     // lead, address, length
constexpr std::uint8_t kLargestSeed = 59 + 59;  // minute + second
// An updater that stops in the middle of a frame has given it up.
constexpr std::chrono::seconds kFrameTimeout{2};
// Where the identification block carries the radio's serial-number byte, after its model code.
constexpr std::size_t kSerialNumberByte = 16;

std::vector<std::uint8_t> TextField(const std::string& text, std::uint8_t pad) {
    std::vector<std::uint8_t> field(kVersionReplySize, pad);
    for (std::size_t i = 0; i < text.size() && i < field.size(); ++i) {
        field[i] = static_cast<std::uint8_t>(text[i]);
    }
    return field;
}

}  // namespace

const char* BootStageName(BootStage stage) {
    switch (stage) {
        case BootStage::AwaitProbe:
            return "probe";
        case BootStage::AwaitLinkLine:
            return "updater's line at 19200";
        case BootStage::AwaitIdentify:
            return "identification command 0x02";
        case BootStage::AwaitSessionByte:
            return "session byte";
        case BootStage::AwaitSessionAck:
            return "session ACK exchange";
        case BootStage::AwaitAuxVersion:
            return "auxiliary version command 0x40";
        case BootStage::AwaitAuxAck:
            return "ACK exchange after 0x40";
        case BootStage::AwaitVersion:
            return "version command 0x50";
        case BootStage::AwaitVersionAck:
            return "ACK exchange after 0x50";
        case BootStage::AwaitHighSpeed:
            return "high-speed request 0x0B or end command";
        case BootStage::AwaitHighSpeedAck:
            return "updater's ACK after 0x0B";
        case BootStage::AwaitHighSpeedLast:
            return "updater's ACK confirming 115200";
        case BootStage::AwaitArea:
            return "area command";
        case BootStage::AwaitTransfer:
            return "transfer";
        case BootStage::AwaitCommand5B:
            return "command 0x5B";
        case BootStage::AwaitEnd:
            return "end command 0x45";
    }
    return "?";
}

BootLoader::BootLoader(const SimulatorOptions& options, ReplyPort& port)
    : options_(options), port_(port), listenBaud_(options.listenSpeed) {
    // "Old firmware": anything but erased flash, so a block that never arrives shows.
    flash_.resize(kSimFlashSize);
    for (std::size_t i = 0; i < flash_.size(); ++i) {
        flash_[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8)) & 0x7F);
    }
}

void BootLoader::OnByte(const TaggedByte& byte, Clock::time_point now) {
    if (hungUp_) {
        return;
    }
    lastByteTime_ = now;
    lastByte_ = byte;
    if (NoRadio(now)) {
        return;  // the line is quiet: the last radio left, the next is not in its boot loader
    }
    if (byte.line.baud != listenBaud_) {
        NoteGarbled(byte);
        return;
    }
    garbledRun_ = false;
    ++report_.bytes;
    CheckStopBits(byte.line);
    TakeByte(byte.value, byte.line);
}

void BootLoader::OnUpdaterClosed() {
    if (inJob_) {
        EndJob("closed");
    } else {
        ResetLink();
    }
}

void BootLoader::OnTick(Clock::time_point now) {
    if (hungUp_) {
        return;
    }
    if (stage_ == BootStage::AwaitLinkLine) {
        const LineState line = port_.UpdaterLine();
        if (line.baud == kLinkBaud) {
            listenBaud_ = kLinkBaud;
            CheckStopBits(line);
            stage_ = BootStage::AwaitIdentify;
            Reply({kAck});
        }
    }
    if (!frame_.empty() && now - lastByteTime_ > kFrameTimeout) {
        char text[96];
        std::snprintf(text, sizeof text, "frame 0x%02X broken off after %zu of %zu bytes",
                      frame_[0], frame_.size(), frameLength_);
        Deviation(text);
        frame_.clear();
    }
}

void BootLoader::TakeByte(std::uint8_t value, const LineState&) {
    if (stage_ == BootStage::AwaitProbe || stage_ == BootStage::AwaitLinkLine) {
        HandleProbeByte(value);
        return;
    }
    if (stage_ == BootStage::AwaitSessionByte) {
        HandleSessionStages(value);  // the one byte that is never masked
        return;
    }
    const std::uint8_t data = value ^ mask_;
    if (frame_.empty()) {
        HandleCommandByte(data);
        return;
    }
    frame_.push_back(data);
    const bool blockFrame = frame_[0] == kCmdStreamedBlock || frame_[0] == kCmdAcknowledgedBlock;
    if (blockFrame && frame_.size() == kBlockHeaderSize) {
        const std::size_t count = frame_[5] == 0 ? 256 : frame_[5];
        frameLength_ = kBlockHeaderSize + count + 1;
    }
    if (frame_.size() == frameLength_) {
        HandleFrame();
    }
}

void BootLoader::HandleProbeByte(std::uint8_t value) {
    if (value == kProbeCommand[probeMatched_]) {
        ++probeMatched_;
    } else {
        if (stage_ == BootStage::AwaitProbe) {
            Unexpected(value);
        }
        probeMatched_ = value == kProbeCommand[0] ? 1 : 0;
    }
    if (probeMatched_ < kProbeCommand.size()) {
        return;
    }
    probeMatched_ = 0;
    unexpectedRun_ = false;
    if (FindSimFault(options_.faults, SimFaultKind::SilentLinkup) != nullptr) {
        return;
    }
    if (!inJob_) {
        StartJob();
    }
    Reply({kSyn}, false);  // the updater reads on for the ACK without writing
    stage_ = BootStage::AwaitLinkLine;
    OnTick(Clock::now());
}

void BootLoader::HandleCommandByte(std::uint8_t data) {
    const SimFault* silent = FindSimFault(options_.faults, SimFaultKind::SilentAfter);
    if (silent != nullptr && silent->value == data) {
        silent_ = true;
    }
    switch (stage_) {
        case BootStage::AwaitIdentify:
        case BootStage::AwaitSessionAck:
            HandleSessionStages(data);
            break;
        case BootStage::AwaitAuxVersion:
        case BootStage::AwaitAuxAck:
        case BootStage::AwaitVersion:
        case BootStage::AwaitVersionAck:
            HandleVersionStages(data);
            break;
        case BootStage::AwaitHighSpeed:
        case BootStage::AwaitHighSpeedAck:
        case BootStage::AwaitHighSpeedLast:
            HandleHighSpeedStages(data);
            break;
        case BootStage::AwaitArea:
            if (data == kCmdArea) {
                BeginFrame(data, kAreaCommandSize);
            } else {
                HandleEnd(data);
            }
            break;
        case BootStage::AwaitTransfer:
            HandleTransferByte(data);
            break;
        case BootStage::AwaitCommand5B:
            if (data == kCmd5B) {
                unexpectedRun_ = false;
                stage_ = BootStage::AwaitEnd;
                Reply({kAck});
            } else {
                HandleEnd(data);
            }
            break;
        default:
            HandleEnd(data);
            break;
    }
}

void BootLoader::BeginFrame(std::uint8_t lead, std::size_t length) {
    unexpectedRun_ = false;
    frame_.assign(1, lead);
    frameLength_ = length;
    if (lead == kCmdStreamedBlock || lead == kCmdAcknowledgedBlock) {
        frameLength_ = kBlockHeaderSize;  // grows once the length byte is in
    }
}

void BootLoader::HandleFrame() {
    switch (frame_[0]) {
        case kCmdArea:
            HandleAreaCommand();
            break;
        case kCmdSpeedChange:
            HandleSpeedChange();
            break;
        case kCmdChecksum:
            HandleChecksumFrame();
            break;
        default:
            HandleBlockFrame();
            break;
    }
    frame_.clear();
}

void BootLoader::HandleSessionStages(std::uint8_t value) {
    if (stage_ == BootStage::AwaitIdentify) {
        if (value != kCmdIdentify) {
            HandleEnd(value);
            return;
        }
        unexpectedRun_ = false;
        stage_ = BootStage::AwaitSessionByte;
        SendIdentification();
    } else if (stage_ == BootStage::AwaitSessionByte) {
        // Masking on: the updater's clock seed; masking off: idSum itself (mask 0).
        if (value != idSum_ && value > kLargestSeed) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "session byte 0x%02X is neither idSum 0x%02X nor a seed 0..118", value,
                          idSum_);
            Deviation(text);
        }
        sessionByte_ = value;
        stage_ = BootStage::AwaitSessionAck;
    } else if (value == kAck) {
        unexpectedRun_ = false;
        stage_ = BootStage::AwaitAuxVersion;
        Reply({kAck});  // still unmasked: the mask applies from the next byte on
        mask_ = idSum_ ^ sessionByte_;
        job_.masked = mask_ != 0;
    } else {
        HandleEnd(value);
    }
}

void BootLoader::SendIdentification() {
    identification_.assign(kIdentificationSize, 0xFF);
    std::vector<std::uint8_t> model = TextField(options_.model, 0xFF);
    if (FaultOfThisRadio(FindSimFault(options_.faults, SimFaultKind::WrongModel))) {
        model = TextField("MQV9051V", 0x00);  // the right name, a wrong market code
    }
    std::copy(model.begin(), model.end(), identification_.begin());
    identification_[kSerialNumberByte] = static_cast<std::uint8_t>(radio_);
    // Bytes 32..43 differ from job to job, so each job has its own mask.
    const int job = report_.jobs + 1;
    idSum_ = 0;
    for (int i = 32; i < 44; ++i) {
        identification_[i] = static_cast<std::uint8_t>(job * 53 + i * 29 + 0x31);
        idSum_ = static_cast<std::uint8_t>(idSum_ + identification_[i]);
    }
    ReplyBytes(identification_, true);
}

void BootLoader::HandleVersionStages(std::uint8_t value) {
    const bool versionCommand = (stage_ == BootStage::AwaitAuxVersion && value == kCmdAuxVersion) ||
                                (stage_ == BootStage::AwaitVersion && value == kCmdVersion);
    const bool ackExchange =
        (stage_ == BootStage::AwaitAuxAck || stage_ == BootStage::AwaitVersionAck) && value == kAck;
    if (!versionCommand && !ackExchange) {
        HandleEnd(value);
        return;
    }
    unexpectedRun_ = false;
    if (value == kCmdAuxVersion) {
        stage_ = BootStage::AwaitAuxAck;
        ReplyBytes(TextField(options_.auxVersion, 0x00), true);
    } else if (value == kCmdVersion) {
        stage_ = BootStage::AwaitVersionAck;
        ReplyBytes(options_.noVersion ? TextField("", 0xFF) : TextField(options_.version, 0x00),
                   true);
    } else {
        stage_ =
            stage_ == BootStage::AwaitAuxAck ? BootStage::AwaitVersion : BootStage::AwaitHighSpeed;
        Reply({kAck});
    }
}

void BootLoader::HandleHighSpeedStages(std::uint8_t value) {
    if (stage_ == BootStage::AwaitHighSpeed && value == kCmdHighSpeed) {
        unexpectedRun_ = false;
        stage_ = BootStage::AwaitHighSpeedAck;
        Reply({kAck});
        if (options_.highSpeed) {
            listenBaud_ = kHighSpeedBaud;
        }
    } else if (stage_ == BootStage::AwaitHighSpeedAck && value == kAck) {
        // At 115200 the radio confirms; without high speed this is the updater's settle at
        // 19200, whose answer it does not check.
        unexpectedRun_ = false;
        stage_ =
            listenBaud_ == kHighSpeedBaud ? BootStage::AwaitHighSpeedLast : BootStage::AwaitArea;
        Reply({kAck});
    } else if (stage_ == BootStage::AwaitHighSpeedLast && value == kAck) {
        unexpectedRun_ = false;
        job_.highSpeed = true;
        ++report_.highSpeedJobs;
        stage_ = BootStage::AwaitArea;
    } else {
        HandleEnd(value);
    }
}

void BootLoader::HandleEnd(std::uint8_t value) {
    if (value != kCmdEnd) {
        Unexpected(value);
        return;
    }
    // A cancel comes after the versions; a radio refused for its model is sent away right
    // after its identification.
    const bool cancel = stage_ == BootStage::AwaitHighSpeed || stage_ == BootStage::AwaitAuxVersion;
    if (stage_ != BootStage::AwaitEnd && !cancel) {
        Deviation("end command while waiting for the " + std::string(BootStageName(stage_)));
    }
    port_.ReleaseExclusive();  // before the ACK, so the updater's next open never races it
    Reply({kAck}, false);      // the updater closes after this one
    EndJob(cancel ? "cancelled" : "end command");
    RadioLeaves();
}

}  // namespace qv
