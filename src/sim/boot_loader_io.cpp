// The boot loader's replies, its record of deviations and the start and end of a job.

#include <cstdio>

#include "protocol/protocol_constants.h"
#include "sim/boot_loader.h"

namespace qv {

namespace {

// A broken updater can send thousands of wrong bytes; the list keeps the first ones.
constexpr std::size_t kMostDeviations = 200;

}  // namespace

void BootLoader::Reply(std::initializer_list<std::uint8_t> bytes, bool strayAfter) {
    ReplyBytes(std::vector<std::uint8_t>(bytes), strayAfter);
}

void BootLoader::ReplyBytes(const std::vector<std::uint8_t>& data, bool strayAfter) {
    if (silent_ || hungUp_) {
        return;
    }
    std::vector<std::uint8_t> wire;
    wire.reserve(data.size() + 2);
    for (std::uint8_t byte : data) {
        wire.push_back(byte ^ mask_);
    }
    const LineState line = port_.UpdaterLine();
    if (line.baud != listenBaud_) {
        // On a cable the updater's UART would make noise of these.
        char text[96];
        std::snprintf(text, sizeof text, "reply sent at %d baud while the updater is at %d",
                      listenBaud_, line.baud);
        Deviation(text);
        for (std::uint8_t& byte : wire) {
            byte = static_cast<std::uint8_t>(~byte);
        }
    }
    // Stray bytes ride behind the reply, so they are in the updater's input before its
    // next write; an updater that purges on write never takes them for the next answer.
    if (strayAfter && FindSimFault(options_.faults, SimFaultKind::GarbageBeforeReply)) {
        wire.push_back(kNak ^ mask_);
        wire.push_back(0x00 ^ mask_);
    }
    port_.Send(wire);
}

void BootLoader::Deviation(const std::string& message) {
    if (report_.deviations.size() > kMostDeviations) {
        return;
    }
    SimDeviation deviation;
    deviation.job = report_.jobs + 1;
    deviation.state = BootStageName(stage_);
    deviation.message =
        report_.deviations.size() == kMostDeviations ? "further deviations not listed" : message;
    report_.deviations.push_back(std::move(deviation));
}

void BootLoader::Unexpected(std::uint8_t value) {
    // A run of wrong bytes in one state is one deviation.
    if (unexpectedRun_) {
        return;
    }
    unexpectedRun_ = true;
    char text[64];
    std::snprintf(text, sizeof text, "unexpected byte 0x%02X", value);
    Deviation(text);
}

void BootLoader::CheckStopBits(const LineState& line) {
    if (line.stopBits == options_.stopBits || stopBitsNoted_) {
        return;
    }
    stopBitsNoted_ = true;
    char text[64];
    std::snprintf(text, sizeof text, "line with %d stop bits, expected %d", line.stopBits,
                  options_.stopBits);
    Deviation(text);
}

void BootLoader::NoteGarbled(const TaggedByte& byte) {
    ++report_.garbledBytes;
    // Probing at other speeds is how the updater finds the radio; without high speed, its
    // ACK at 115200 after 0x0B is lost as on a cable.
    const bool expected = stage_ == BootStage::AwaitProbe || stage_ == BootStage::AwaitLinkLine ||
                          (stage_ == BootStage::AwaitHighSpeedAck && !options_.highSpeed);
    if (expected || garbledRun_) {
        return;
    }
    garbledRun_ = true;
    char text[96];
    std::snprintf(text, sizeof text, "byte sent at %d baud while listening at %d", byte.line.baud,
                  listenBaud_);
    Deviation(text);
}

void BootLoader::StartJob() {
    inJob_ = true;
    job_ = SimJobRecord{};
    job_.transfer = "none";
    ++report_.probesAnswered;
    silent_ = false;
    areaIndex_ = 0;
    erased_ = false;
    frameIndex_ = 0;
    framesSinceResync_ = 0;
    resyncNoted_ = false;
    nakPending_ = false;
    lastSpeedCode_ = 0;
    ackAllowed_ = false;
    ackDone_ = false;
    lastBlockEnd_ = 0;
    streamedFrameSeen_ = false;
    programmingGapNoted_ = false;
}

void BootLoader::EndJob(const std::string& how) {
    job_.end = how;
    report_.jobLog.push_back(job_);
    ++report_.jobs;
    inJob_ = false;
    stopBitsNoted_ = false;
    ResetLink();
    if (options_.onJobEnd) {
        options_.onJobEnd(report_, flash_);
    }
}

void BootLoader::ResetLink() {
    // The radio waits for the next updater at its own speed, unmasked.
    stage_ = BootStage::AwaitProbe;
    listenBaud_ = options_.listenSpeed;
    mask_ = 0;
    probeMatched_ = 0;
    frame_.clear();
    silent_ = false;
    unexpectedRun_ = false;
    garbledRun_ = false;
}

}  // namespace qv
