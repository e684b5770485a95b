#pragma once
// What a station shows while it runs. On a terminal: one line per port, redrawn in place
// (waiting, identified, writing 42 % 0:31 left, done, failed: message), and the totals under
// them. Elsewhere: one line per event. Called from the ports' threads.

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cli/station_tally.h"

namespace qv::cli {

class StationScreen {
  public:
    StationScreen(std::FILE* stream, bool terminal, std::vector<std::string> ports,
                  const StationTally& tally);

    void Waiting(std::size_t slot);
    // The radio answered and was identified: its version change in words.
    void Identified(std::size_t slot, const std::string& versionChange);
    void WritingStarts(std::size_t slot, int total);
    void Writing(std::size_t slot, int done);
    // The radio's job ended ("updated", "refused", "failed", ... as the record names it), with
    // the updater's message.
    void RadioEnded(std::size_t slot, const std::string& outcome, const std::string& message);
    // The port itself is in trouble (it does not open): said once until it recovers.
    void PortTrouble(std::size_t slot, const std::string& message);
    // The last redraw and the end of the lines.
    void Finish();

  private:
    using Clock = std::chrono::steady_clock;
    struct Port {
        std::string label;
        std::string state = "waiting";
        int total = 0;
        int done = 0;
        Clock::time_point writingSince;
    };

    void Set(std::size_t slot, std::string state, bool event);
    std::string WritingText(const Port& port) const;
    void Draw(bool force);

    std::FILE* stream_;
    bool terminal_;
    const StationTally& tally_;
    std::mutex mutex_;
    std::vector<Port> ports_;
    std::size_t labelWidth_ = 0;
    bool drawn_ = false;
    Clock::time_point lastDraw_;
};

}  // namespace qv::cli
