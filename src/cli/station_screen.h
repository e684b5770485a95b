#pragma once
// What a station shows while it runs. On a terminal: one line per port, redrawn in place with
// the job's own words (waiting, radio found, writing block N of M with the time left, the
// outcome), and the totals under them. Elsewhere: one line per event. Called from the ports'
// threads.

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cli/redrawn_lines.h"
#include "cli/station_tally.h"

namespace qv::cli {

class StationScreen {
  public:
    StationScreen(std::FILE* stream, bool terminal, std::vector<std::string> ports,
                  const StationTally& tally);

    // What the port's job is doing now: shown on a terminal only, at most every 100 ms.
    void Live(std::size_t slot, const std::string& text);
    // Something worth a line of its own: the radio found, its writing begun, its outcome, the
    // port waiting again or in trouble. Said once; the same text again is no new event.
    void Event(std::size_t slot, const std::string& text);
    // A line that must stay on screen (a radio that could not be recorded): on a terminal it
    // is drawn under the ports' lines at every redraw, elsewhere it is a line of its own.
    void Note(const std::string& text);
    // The last redraw; the totals line is left blank for the summary that follows.
    void Finish();

  private:
    struct Port {
        std::string label;
        std::string state;
    };

    void Draw(bool force);

    std::FILE* stream_;
    bool terminal_;
    const StationTally& tally_;
    std::mutex mutex_;
    std::vector<Port> ports_;
    std::vector<std::string> notes_;
    std::size_t labelWidth_ = 0;
    RedrawnLines lines_;
};

}  // namespace qv::cli
