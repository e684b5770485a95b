#include "cli/station_screen.h"

#include <algorithm>

#include "cli/console.h"

namespace qv::cli {

namespace {

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return Printable(text);
}

}  // namespace

StationScreen::StationScreen(std::FILE* stream, bool terminal, std::vector<std::string> ports,
                             const StationTally& tally)
    : stream_(stream), terminal_(terminal), tally_(tally), lines_(stream) {
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

// The ports' lines, the notes and the totals.
void StationScreen::Draw(bool force) {
    std::vector<std::string> lines;
    for (const Port& port : ports_) {
        lines.push_back(port.label + std::string(labelWidth_ - port.label.size() + 2, ' ') +
                        port.state);
    }
    lines.insert(lines.end(), notes_.begin(), notes_.end());
    lines.push_back(tally_.Summary());
    lines_.Draw(lines, force);
}

void StationScreen::Finish() {
    std::lock_guard lock(mutex_);
    if (terminal_ && lines_.Drawn()) {
        Draw(true);
        lines_.Write("\r\x1b[K");  // the totals' line is left for the summary
    }
}

}  // namespace qv::cli
