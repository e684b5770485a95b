#pragma once
// The terminal as the write job's host: the confirmation is asked on the terminal (or taken
// from --yes), progress goes to the display, the worker is simply waited for.

#include <cstdio>
#include <mutex>
#include <string>

#include "cli/progress_display.h"
#include "workflow/job_host.h"

namespace qv::cli {

// Asks the version-change question; shared by the radios of one run, one question at a time.
class Confirmation {
  public:
    Confirmation(bool assumeYes, std::FILE* out, std::FILE* in)
        : assumeYes_(assumeYes), out_(out), in_(in) {}
    // Prints the text (under the port's name when several radios run) and, without --yes,
    // asks "Continue? [y/N]". Only y or yes (any case) continues; no answer cancels.
    BoxAnswer Ask(const std::string& portLabel, const std::string& text);

  private:
    bool assumeYes_;
    std::FILE* out_;
    std::FILE* in_;
    std::mutex mutex_;
};

class TerminalHost : public JobHost {
  public:
    // portLabel is empty when this is the only radio of the run.
    TerminalHost(std::string portLabel, Confirmation& confirmation, ProgressDisplay& progress,
                 std::size_t progressSlot)
        : portLabel_(std::move(portLabel)),
          confirmation_(confirmation),
          progress_(progress),
          progressSlot_(progressSlot) {}

    // A question goes to the terminal; any other box is only kept: the command prints the
    // application's message itself, as the last line.
    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;

    const std::string& LastMessage() const { return lastMessage_; }

  private:
    std::string portLabel_;
    Confirmation& confirmation_;
    ProgressDisplay& progress_;
    std::size_t progressSlot_;
    std::string lastMessage_;
};

}  // namespace qv::cli
