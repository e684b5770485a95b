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

void StationScreen::Live(std::size_t slot, const std::string& text) {
    if (!terminal_) {
        return;
    }
    std::lock_guard lock(mutex_);
    ports_.at(slot).state = OneLine(text);
    Draw(false);
}

void StationScreen::Event(std::size_t slot, const std::string& text) {
    std::lock_guard lock(mutex_);
    Port& port = ports_.at(slot);
    const std::string line = OneLine(text);
    if (port.state == line) {
        return;
    }
    port.state = line;
    if (terminal_) {
        Draw(true);
    } else {
        PrintLine(stream_, port.label + ": " + line);
    }
}

void StationScreen::Note(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (terminal_) {
        notes_.push_back(OneLine(text));
        Draw(true);
    } else {
        PrintLine(stream_, OneLine(text));
    }
}

// The ports' lines, the notes and the totals; the cursor goes back up over the lines drawn
// last time.
void StationScreen::Draw(bool force) {
    const auto now = Clock::now();
    if (!force && drawn_ && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    std::string text;
    if (drawn_ && linesDrawn_ > 0) {
        text += "\r\x1b[" + std::to_string(linesDrawn_) + "A";
    }
    for (const Port& port : ports_) {
        text += "\r\x1b[K" + port.label + std::string(labelWidth_ - port.label.size() + 2, ' ') +
                port.state + "\n";
    }
    for (const std::string& note : notes_) {
        text += "\r\x1b[K" + note + "\n";
    }
    linesDrawn_ = ports_.size() + notes_.size();
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
        std::fputs("\r\x1b[K", stream_);
        std::fflush(stream_);
    }
}

}  // namespace qv::cli
