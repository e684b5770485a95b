// The practice radio: the boot-loader simulator's model in a module of its own, so that a
// trainee or a reviewer runs a whole update in the page with no cable. The page's worker puts
// it behind a port that behaves as a Web Serial port does (site/practice_port.js): each open
// sets the line the radio hears, and bytes sent at another speed are garbled, as on a wire.

#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sim/boot_loader.h"

namespace qv {
namespace {

// The radio's end of the practice wire: its replies wait here until the port reads them.
class PracticeLine : public ReplyPort {
  public:
    void Send(std::span<const std::uint8_t> wire) override {
        replies_.insert(replies_.end(), wire.begin(), wire.end());
    }
    LineState UpdaterLine() override { return line_; }
    void HangUp() override {}

    void SetLine(LineState line) { line_ = line; }
    std::vector<std::uint8_t>& Replies() { return replies_; }

  private:
    LineState line_;
    std::vector<std::uint8_t> replies_;
};

struct PracticeRadio {
    SimulatorOptions options;
    PracticeLine line;
    BootLoader loader{options, line};
};

std::unique_ptr<PracticeRadio> radio;

PracticeRadio& Radio() {
    if (!radio) {
        radio = std::make_unique<PracticeRadio>();
    }
    return *radio;
}

}  // namespace
}  // namespace qv

extern "C" {

// The port opened with these settings: what the radio hears from now on.
EMSCRIPTEN_KEEPALIVE void qv_practice_line(int baud, int stopBits) {
    qv::Radio().line.SetLine(qv::LineState{baud, stopBits});
    qv::Radio().loader.OnTick(std::chrono::steady_clock::now());
}

// The page has let the port go for good: a job the radio was in ends there.
EMSCRIPTEN_KEEPALIVE void qv_practice_released() {
    qv::Radio().loader.OnUpdaterClosed();
}

EMSCRIPTEN_KEEPALIVE void qv_practice_receive(const std::uint8_t* bytes, int count) {
    qv::PracticeRadio& practice = qv::Radio();
    const auto now = std::chrono::steady_clock::now();
    const qv::LineState line = practice.line.UpdaterLine();
    for (int i = 0; i < count; ++i) {
        practice.loader.OnByte(qv::TaggedByte{bytes[i], line, now}, now);
    }
    practice.loader.OnTick(now);
}

EMSCRIPTEN_KEEPALIVE void qv_practice_tick() {
    qv::Radio().loader.OnTick(std::chrono::steady_clock::now());
}

// Moves up to `capacity` of the radio's waiting reply bytes to `out`; returns how many.
EMSCRIPTEN_KEEPALIVE int qv_practice_take(std::uint8_t* out, int capacity) {
    std::vector<std::uint8_t>& replies = qv::Radio().line.Replies();
    const std::size_t count = std::min(replies.size(), static_cast<std::size_t>(capacity));
    std::copy_n(replies.begin(), count, out);
    replies.erase(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<int>(count);
}

}  // extern "C"
