#pragma once
// One round of "Update the next radio automatically": the window waits on its port until a
// radio answers, then writes it as any job, without asking about the version again.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "workflow/job_host.h"

namespace qv {

// A box the job asked for before any radio had answered.
struct HeldBox {
    std::string text;
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

class NextRadioHost final : public JobHost {
  public:
    // window: the window's own host, which shows what passes. onAnswered is called once a radio
    // has answered the link-up, on the job's thread (the window's). stop: set by the window to
    // end the wait; it stops the job only before the erase.
    NextRadioHost(JobHost& window, std::function<void()> onAnswered, const std::atomic<bool>& stop);

    // The version question is answered yes: ticking the box was the yes for every radio.
    // Until a radio answers, boxes are held: a round in which nobody answers is no error.
    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    // The loop holds the window's controls for all its rounds.
    void LockControls() override {}
    void UnlockControls() override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    // A radio has answered once the job reads its identification.
    void StepStarted(std::string_view step) override;
    // Until a radio answers, the window keeps saying that it waits; the texts are held.
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;
    bool StopRequested(JobPhase phase) override;

    bool Answered() const;
    // The last text and box held before any radio answered: what a round that failed all the
    // same (a port that no longer opens) has to show.
    std::string HeldStatus() const;
    std::optional<HeldBox> HeldMessage() const;

  private:
    JobHost& window_;
    const std::function<void()> onAnswered_;
    const std::atomic<bool>& stop_;
    mutable std::mutex mutex_;  // the link-up's texts come from its worker
    bool answered_ = false;
    std::string heldStatus_;
    std::optional<HeldBox> heldBox_;
};

// "Waiting for the next radio on /dev/ttyUSB0 (2 updated this session)"
std::string WaitingStatusText(std::string_view port, int updated);
// "Stopped waiting for the next radio on /dev/ttyUSB0 (2 updated this session)"
std::string StoppedWaitingText(std::string_view port, int updated);

}  // namespace qv
