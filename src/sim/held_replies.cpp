#include "sim/held_replies.h"

#include <algorithm>

namespace qv {

namespace {

// ftdi_sio runs the chip's timer at 1 ms while the port has ASYNC_LOW_LATENCY.
constexpr std::chrono::milliseconds kLowLatencyTimer{1};

}  // namespace

HeldReplies::HeldReplies(ReplyPort& wire, SimAdapter adapter, std::string device)
    : wire_(wire), adapter_(std::move(adapter)), device_(std::move(device)) {}

void HeldReplies::Send(std::span<const std::uint8_t> wire) {
    if (adapter_.latency <= std::chrono::milliseconds{0}) {
        wire_.Send(wire);
        return;
    }
    // The flag is asked at each reply: the driver applies it as the updater sets it.
    const bool lowLatency = adapter_.lowLatency && adapter_.lowLatency(device_);
    const auto hold = lowLatency ? kLowLatencyTimer : adapter_.latency;
    // A later reply never overtakes an earlier one in the chip's buffer.
    const auto due = std::max(Clock::now() + hold, lastDue_);
    lastDue_ = due;
    held_.push_back(Held{std::vector<std::uint8_t>(wire.begin(), wire.end()), due});
    ++repliesHeld_;
    repliesHeldLowLatency_ += lowLatency ? 1 : 0;
}

void HeldReplies::HangUp() {
    held_.clear();
    wire_.HangUp();
}

void HeldReplies::SendDue(Clock::time_point now) {
    while (!held_.empty() && held_.front().due <= now) {
        wire_.Send(held_.front().bytes);
        held_.pop_front();
    }
}

std::optional<HeldReplies::Clock::time_point> HeldReplies::NextDue() const {
    if (held_.empty()) {
        return std::nullopt;
    }
    return held_.front().due;
}

void HeldReplies::AddTo(SimReport& report) const {
    report.adapterLatencyMs = static_cast<int>(adapter_.latency.count());
    report.repliesHeld = repliesHeld_;
    report.repliesHeldLowLatency = repliesHeldLowLatency_;
}

}  // namespace qv
