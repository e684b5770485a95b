#pragma once
// A block of lines on a terminal, redrawn in place: the cursor goes back up over the lines drawn
// last time and each line is drawn anew. The bars of qv-flash write and the ports of qv-flash
// station are such blocks.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace qv::cli {

class RedrawnLines {
  public:
    explicit RedrawnLines(std::FILE* stream) : stream_(stream) {}

    // Draws lines over the block drawn before; the cursor stays at the end of the last line.
    // Unless forced, not again within kRedrawInterval: a terminal cannot show more, and the
    // radios must not wait for it. False when it did not draw.
    bool Draw(const std::vector<std::string>& lines, bool force);
    bool Drawn() const { return drawn_; }
    // Writes text after the block, as a line of its own would end it.
    void Write(const std::string& text);

  private:
    using Clock = std::chrono::steady_clock;

    std::FILE* stream_;
    std::size_t linesDrawn_ = 0;
    bool drawn_ = false;
    Clock::time_point lastDraw_;
};

}  // namespace qv::cli
