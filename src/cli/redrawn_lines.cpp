#include "cli/redrawn_lines.h"

#include "cli/console.h"

namespace qv::cli {

namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};

}  // namespace

bool RedrawnLines::Draw(const std::vector<std::string>& lines, bool force) {
    const auto now = Clock::now();
    if (!force && drawn_ && now - lastDraw_ < kRedrawInterval) {
        return false;
    }
    lastDraw_ = now;
    std::string text;
    if (drawn_ && linesDrawn_ > 1) {
        text += "\r\x1b[" + std::to_string(linesDrawn_ - 1) + "A";
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += "\r\x1b[K" + lines[i] + (i + 1 < lines.size() ? "\n" : "");
    }
    linesDrawn_ = lines.size();
    drawn_ = true;
    Write(text);
    return true;
}

void RedrawnLines::Write(const std::string& text) {
    std::lock_guard consoleLock(ConsoleMutex());
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
}

}  // namespace qv::cli
