#include "far_end.h"

#include <algorithm>
#include <chrono>

#include "protocol/protocol_constants.h"

namespace qv::test {

using namespace std::chrono_literals;

LinkUpFarEnd::LinkUpFarEnd(const PtyPair& pty, std::set<unsigned> listenBauds, int ackWithheld)
    : pty_(pty), listenBauds_(std::move(listenBauds)), ackWithheld_(ackWithheld) {
    thread_ = std::thread([this] { Run(); });
}

LinkUpFarEnd::~LinkUpFarEnd() {
    Stop();
}

void LinkUpFarEnd::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::vector<HeardProbe> LinkUpFarEnd::Probes() {
    std::lock_guard lock(mutex_);
    return probes_;
}

void LinkUpFarEnd::Run() {
    constexpr std::uint8_t kAckByte[] = {kAck};
    while (!stop_) {
        // Read as soon as bytes arrive, so that each is tagged with the speed it was sent at.
        const auto chunk = pty_.Read(64, 5ms);
        if (!chunk.empty()) {
            Heard(chunk);
        }
        if (ackOwed_ && pty_.FarEndBaud() == 19200) {
            pty_.Write(kAckByte);
            ackOwed_ = false;
        }
    }
}

void LinkUpFarEnd::Heard(const std::vector<std::uint8_t>& chunk) {
    const unsigned baud = pty_.FarEndBaud();
    if (baud != streamBaud_) {
        stream_.clear();
        streamBaud_ = baud;
    }
    stream_.insert(stream_.end(), chunk.begin(), chunk.end());
    if (stream_.size() < kProbeCommand.size() ||
        !std::equal(kProbeCommand.begin(), kProbeCommand.end(),
                    stream_.end() - static_cast<long>(kProbeCommand.size()))) {
        return;
    }
    stream_.clear();
    {
        std::lock_guard lock(mutex_);
        probes_.push_back({baud, pty_.FarEndStopBits()});
    }
    if (!listenBauds_.contains(baud)) {
        return;  // garbled at this speed: the boot loader never sees a probe
    }
    constexpr std::uint8_t kSynByte[] = {kSyn};
    pty_.Write(kSynByte);
    if (ackWithheld_ > 0) {
        --ackWithheld_;
    } else {
        ackOwed_ = true;
    }
}

}  // namespace qv::test
