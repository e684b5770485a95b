#pragma once
// The transfer's progress on stderr: a bar per radio on a terminal, a line every 10 %
// elsewhere, nothing when quiet. Positions come from the workers' threads.

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace qv::cli {

enum class ProgressStyle { Bar, Lines, Quiet };

class ProgressDisplay {
  public:
    ProgressDisplay(std::FILE* stream, ProgressStyle style, std::vector<std::string> labels);

    void SetRange(std::size_t slot, int low, int high);
    // Positions outside the range (the job's reset to -1) leave the display as it is.
    void SetPosition(std::size_t slot, int position);
    // Ends the bars' lines; call once every job has ended.
    void Finish();

  private:
    using Clock = std::chrono::steady_clock;
    struct Slot {
        std::string label;
        int low = 0;
        int high = 0;
        int position = -1;
        int lastTenth = -1;  // the last 10 % step printed in the Lines style
        bool started = false;
        Clock::time_point start;
        Clock::time_point end;  // when the position reached the top: the rate stops there
    };

    std::string BarText(const Slot& slot) const;
    void DrawBars(bool force);
    void PrintTenths(Slot& slot);

    std::FILE* stream_;
    ProgressStyle style_;
    std::mutex mutex_;
    std::vector<Slot> slots_;
    bool barsDrawn_ = false;
    Clock::time_point lastDraw_;
};

}  // namespace qv::cli
