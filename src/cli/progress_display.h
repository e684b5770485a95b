#pragma once
// The job's progress on stderr: a bar per radio on a terminal, a line every 10 % elsewhere,
// nothing when quiet; the steps' status texts as lines, or beside the bars once they are drawn.
// Positions and texts come from the workers' threads too.

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cli/redrawn_lines.h"
#include "workflow/job_seat.h"
#include "workflow/job_status.h"

namespace qv::cli {

enum class ProgressStyle { Bar, Lines, Quiet };

class ProgressDisplay {
  public:
    ProgressDisplay(std::FILE* stream, ProgressStyle style, std::vector<std::string> labels);

    void SetRange(std::size_t slot, int low, int high);
    // Positions outside the range (the job's reset to -1) leave the display as it is.
    void SetPosition(std::size_t slot, int position);
    // A step's text is printed as a line, or shown beside the radio's bar once bars are drawn;
    // the transfer's running count is left to the bar and the 10 % lines, which carry it.
    void SetStatus(std::size_t slot, const std::string& text, StatusKind kind);
    // Ends the bars' lines; call once every job has ended.
    void Finish();

  private:
    using Clock = std::chrono::steady_clock;
    struct Slot {
        std::string label;
        std::string status;  // the last step's text
        int low = 0;
        int high = 0;
        int position = -1;
        int lastTenth = -1;  // the last 10 % step printed in the Lines style
        bool started = false;
        Clock::time_point start;
        Clock::time_point end;  // when the position reached the top: the rate stops there
        // The time left as the status texts tell it, from the transfer's pace.
        TransferPace pace;
        std::optional<std::chrono::seconds> timeLeft;
    };

    std::string BarText(const Slot& slot) const;
    void DrawBars(bool force);
    void PrintTenths(Slot& slot);

    std::FILE* stream_;
    ProgressStyle style_;
    std::mutex mutex_;
    std::vector<Slot> slots_;
    RedrawnLines bars_;
};

}  // namespace qv::cli
