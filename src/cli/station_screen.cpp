#include "cli/station_screen.h"

#include <algorithm>

#include "cli/console.h"

namespace qv::cli {

namespace {

// A terminal cannot show more, and the radios must not wait for it.
constexpr std::chrono::milliseconds kRedrawInterval{100};

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return Printable(text);
}

std::string Duration(double seconds) {
    const auto total = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

}  // namespace

StationScreen::StationScreen(std::FILE* stream, bool terminal, std::vector<std::string> ports,
                             const StationTally& tally)
    : stream_(stream), terminal_(terminal), tally_(tally) {
    for (std::string& label : ports) {
        labelWidth_ = std::max(labelWidth_, label.size());
        Port& port = ports_.emplace_back();
        port.label = std::move(label);
    }
}

void StationScreen::Waiting(std::size_t slot) {
    Set(slot, "waiting", false);
}

void StationScreen::Identified(std::size_t slot, const std::string& versionChange) {
    Set(slot, "identified " + OneLine(versionChange), true);
}

void StationScreen::WritingStarts(std::size_t slot, int total) {
    {
        std::lock_guard lock(mutex_);
        Port& port = ports_.at(slot);
        port.total = total;
        port.done = 0;
        port.writingSince = Clock::now();
    }
    Set(slot, "writing", true);
}

void StationScreen::Writing(std::size_t slot, int done) {
    std::lock_guard lock(mutex_);
    Port& port = ports_.at(slot);
    port.done = done;
    port.state = WritingText(port);
    if (terminal_) {
        Draw(false);
    }
}

void StationScreen::RadioEnded(std::size_t slot, const std::string& outcome,
                               const std::string& message) {
    Set(slot, outcome == "updated" ? "done" : outcome + ": " + OneLine(message), true);
}

void StationScreen::PortTrouble(std::size_t slot, const std::string& message) {
    {
        std::lock_guard lock(mutex_);
        if (ports_.at(slot).state == OneLine(message)) {
            return;
        }
    }
    Set(slot, OneLine(message), true);
}

void StationScreen::Set(std::size_t slot, std::string state, bool event) {
    std::lock_guard lock(mutex_);
    Port& port = ports_.at(slot);
    if (port.state == state && !event) {
        return;
    }
    port.state = std::move(state);
    if (terminal_) {
        Draw(true);
    } else if (event) {
        PrintLine(stream_, port.label + ": " + port.state);
    }
}

std::string StationScreen::WritingText(const Port& port) const {
    const int percent = port.total > 0 ? port.done * 100 / port.total : 100;
    const double seconds = std::chrono::duration<double>(Clock::now() - port.writingSince).count();
    const std::string left = port.done > 0 && seconds > 0
                                 ? Duration((port.total - port.done) * seconds / port.done)
                                 : "--:--";
    return "writing " + std::to_string(percent) + " % " + left + " left";
}

// The ports' lines and the totals; the cursor goes back up over the lines drawn last time.
void StationScreen::Draw(bool force) {
    const auto now = Clock::now();
    if (!force && drawn_ && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    std::string text;
    if (drawn_) {
        text += "\r\x1b[" + std::to_string(ports_.size()) + "A";
    }
    for (const Port& port : ports_) {
        text += "\r\x1b[K" + port.label + std::string(labelWidth_ - port.label.size() + 2, ' ') +
                port.state + "\n";
    }
    text += "\r\x1b[K" + tally_.Summary();
    std::lock_guard consoleLock(ConsoleMutex());
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
    drawn_ = true;
}

void StationScreen::Finish() {
    std::lock_guard lock(mutex_);
    if (terminal_ && drawn_) {
        Draw(true);
        std::lock_guard consoleLock(ConsoleMutex());
        std::fputc('\n', stream_);
        std::fflush(stream_);
    }
}

}  // namespace qv::cli
