#include "cli/progress_display.h"

#include <algorithm>

#include "cli/console.h"
#include "workflow/job_status.h"

namespace qv::cli {

namespace {

constexpr int kBarWidth = 30;
// Statuses in the bars' lines are cut to these, so that each line stays one line on most
// terminals: beside a bar, and in place of a bar not yet started.
constexpr std::size_t kStatusBesideBar = 40;
constexpr std::size_t kStatusInPlaceOfBar = 70;

std::string Shortened(const std::string& text, std::size_t length) {
    return text.size() <= length ? text : text.substr(0, length - 3) + "...";
}

}  // namespace

ProgressDisplay::ProgressDisplay(std::FILE* stream, ProgressStyle style,
                                 std::vector<std::string> labels)
    : stream_(stream), style_(style), bars_(stream) {
    for (auto& label : labels) {
        Slot slot;
        slot.label = std::move(label);
        slots_.push_back(std::move(slot));
    }
}

void ProgressDisplay::SetRange(std::size_t slot, int low, int high) {
    if (style_ == ProgressStyle::Quiet || slot >= slots_.size()) {
        return;
    }
    std::lock_guard lock(mutex_);
    Slot& s = slots_[slot];
    s.low = low;
    s.high = high;
    s.position = low;
    s.started = true;
    s.start = Clock::now();
    s.pace = TransferPace{};
    s.timeLeft.reset();
}

void ProgressDisplay::SetPosition(std::size_t slot, int position) {
    if (style_ == ProgressStyle::Quiet || slot >= slots_.size()) {
        return;
    }
    std::lock_guard lock(mutex_);
    Slot& s = slots_[slot];
    if (!s.started || position < s.low || position > s.high) {
        return;
    }
    s.position = position;
    const auto now = Clock::now();
    if (position == s.high) {
        s.end = now;
    }
    s.timeLeft = s.pace.TimeLeft(position - s.low, s.high - s.low, now);
    if (style_ == ProgressStyle::Lines) {
        PrintTenths(s);
    } else {
        DrawBars(position == s.high);
    }
}

void ProgressDisplay::SetStatus(std::size_t slot, const std::string& text, StatusKind kind) {
    if (style_ == ProgressStyle::Quiet || kind != StatusKind::Step || slot >= slots_.size()) {
        return;
    }
    std::lock_guard lock(mutex_);
    Slot& s = slots_[slot];
    s.status = Printable(text);
    if (style_ == ProgressStyle::Bar && bars_.Drawn()) {
        DrawBars(true);
        return;
    }
    // Before any bar is drawn a line says it; the bars, once drawn, are redrawn over themselves.
    PrintLine(stream_, (slots_.size() > 1 ? s.label + ": " : std::string()) + s.status);
}

void ProgressDisplay::Finish() {
    if (style_ != ProgressStyle::Bar) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (bars_.Drawn()) {
        DrawBars(true);
        bars_.Write("\n");
    }
}

void ProgressDisplay::PrintTenths(Slot& slot) {
    const int span = std::max(slot.high - slot.low, 1);
    const int tenth = (slot.position - slot.low) * 10 / span;
    if (tenth <= slot.lastTenth) {
        return;
    }
    slot.lastTenth = tenth;
    char text[96];
    std::snprintf(text, sizeof text, "%3d%% (%d/%d blocks)", tenth * 10, slot.position - slot.low,
                  slot.high - slot.low);
    PrintLine(stream_, slot.label + ": " + text);
}

std::string ProgressDisplay::BarText(const Slot& slot) const {
    const int total = slot.high - slot.low;
    const int done = std::max(slot.position - slot.low, 0);
    const double fraction = total > 0 ? static_cast<double>(done) / total : 1.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    const Clock::time_point until = slot.position == slot.high ? slot.end : Clock::now();
    const double seconds = std::chrono::duration<double>(until - slot.start).count();
    const double rate = seconds > 0 ? done / seconds : 0.0;
    std::string left = "--:--";
    if (done >= total) {
        left = MinutesAndSeconds(std::chrono::seconds{0});
    } else if (slot.timeLeft) {
        left = MinutesAndSeconds(*slot.timeLeft);
    }
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "] %d/%d blocks %3d%% %6.1f blocks/s %s left", done,
                  total, static_cast<int>(fraction * 100), rate, left.c_str());
    std::string text = slot.label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + numbers;
    if (!slot.status.empty()) {
        text += "  " + Shortened(slot.status, kStatusBesideBar);
    }
    return text;
}

// One line per radio.
void ProgressDisplay::DrawBars(bool force) {
    std::vector<std::string> lines;
    for (const Slot& slot : slots_) {
        if (slot.started) {
            lines.push_back(BarText(slot));
        } else {
            lines.push_back(slot.label + " " +
                            (slot.status.empty() ? std::string("waiting")
                                                 : Shortened(slot.status, kStatusInPlaceOfBar)));
        }
    }
    bars_.Draw(lines, force);
}

}  // namespace qv::cli
