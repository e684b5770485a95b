// "Update the next radio automatically": after a successful update the window waits on the same
// port for the next radio, writes it, and waits again, until the technician stops the wait or a
// write fails.

#include <thread>

#include "app/next_radio_host.h"
#include "app/updater_dialog.h"
#include "ui_updater_dialog.h"
#include "workflow/job_status.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

// Nobody answering takes the link-up's twenty seconds; a round that ends sooner without a radio
// (the port's writes fail at once) waits out the rest of this, so that the loop does not spin.
constexpr std::chrono::milliseconds kShortestRound{1000};
// How often that pause looks whether the wait was stopped: as often as the link-up does.
constexpr std::chrono::milliseconds kPauseStep{50};

}  // namespace

void UpdaterDialog::UpdateNextRadios() {
    WriteJobInput input = JobInput();
    // A radio of another model leaves its boot loader, so that it does not answer again.
    input.endSessionWhenRefused = true;
    const std::string port = ShownPortName(link_.DeviceName());
    stopWaiting_ = false;
    LockControls();
    while (!stopWaiting_) {
        if (RunNextRadioRound(input, port) == RoundEnd::LoopEnds) {
            break;
        }
    }
    if (waitingForRadio_) {  // stopped while no radio was on the line
        waitingForRadio_ = false;
        ShowJobStatus(QString::fromStdString(StoppedWaitingText(port, updatedThisSession_)));
    }
    UnlockControls();
}

UpdaterDialog::RoundEnd UpdaterDialog::RunNextRadioRound(const WriteJobInput& input,
                                                         const std::string& port) {
    WaitForRadio(port);
    NextRadioHost round(
        *host_, [this] { RadioAnswered(); }, stopWaiting_);
    const auto start = Clock::now();
    const WriteJobOutcome outcome = RunWriteJob(link_, round, input);
    if (round.Answered()) {
        RecordJob(outcome);
        // A refused radio was sent away; any other failure needs the technician at that radio.
        const bool goOn = outcome.succeeded || outcome.status == StatusModelMismatch;
        return goOn ? RoundEnd::NextRadio : RoundEnd::LoopEnds;
    }
    if (outcome.status == StatusPortOpenFailed) {
        // Before a radio answers, the one failure is a port that no longer opens: its words
        // and its box, as any job's.
        waitingForRadio_ = false;
        host_->ShowStatus(round.HeldStatus(), StatusKind::Step);
        if (const std::optional<HeldBox> box = round.HeldMessage()) {
            host_->ShowMessage(box->text, box->caption, box->buttons, box->icon);
        }
        RecordJob(outcome);
        return RoundEnd::LoopEnds;
    }
    PauseUnlessStopped(kShortestRound -
                       std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start));
    return RoundEnd::NobodyAnswered;
}

// Exit and the box are there to stop the wait; Write and the port list stay locked.
void UpdaterDialog::WaitForRadio(const std::string& port) {
    waitingForRadio_ = true;
    setCursor(Qt::BusyCursor);
    ui_->exitButton->setEnabled(true);
    ui_->nextRadioCheck->setEnabled(true);
    ShowJobStatus(QString::fromStdString(WaitingStatusText(port, updatedThisSession_)));
}

// From here the radio is written as any job: no way out until its box.
void UpdaterDialog::RadioAnswered() {
    waitingForRadio_ = false;
    setCursor(Qt::WaitCursor);
    ui_->exitButton->setEnabled(false);
    ui_->nextRadioCheck->setEnabled(false);
}

void UpdaterDialog::StopWaiting() {
    stopWaiting_ = true;
}

void UpdaterDialog::PauseUnlessStopped(std::chrono::milliseconds time) {
    if (time <= std::chrono::milliseconds::zero()) {
        return;
    }
    const auto until = Clock::now() + time;
    // On a worker, so that the window keeps answering, Exit and Escape included.
    host_->RunWorker([this, until] {
        while (!stopWaiting_ && Clock::now() < until) {
            std::this_thread::sleep_for(kPauseStep);
        }
        return 1;
    });
}

}  // namespace qv
