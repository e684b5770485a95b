// "Update the next radio automatically": after a successful update the window runs the
// next-radio loop on the same port, until the technician stops the wait or a write fails.
// The loop is the shared one; this file only presents it.

#include "frontend/next_radio_loop.h"
#include "frontend/window_rules.h"
#include "winapp/resource_ids.h"
#include "winapp/updater_dialog.h"
#include "workflow/job_status.h"

namespace qv {

void UpdaterDialog::UpdateNextRadios() {
    loopPort_ = ShownPortName(link_.DeviceName());
    stopWaiting_ = false;
    LockControls();
    RunNextRadioLoop(*this, *host_, JobInput(), [this](JobHost& round, const WriteJobInput& input) {
        return RunWriteJob(link_, round, input);
    });
    if (waitingForRadio_) {  // stopped while no radio was on the line
        waitingForRadio_ = false;
        ShowJobStatus(StoppedWaitingText(loopPort_, jobLog_.UpdatedThisSession()));
    }
    UnlockControls();
}

// Exit and the box are there to stop the wait; Write and the port list stay locked.
void UpdaterDialog::Waiting() {
    waitingForRadio_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
    EnableItem(IDCANCEL, true);
    EnableItem(IDC_NEXT_RADIO, true);
    ShowJobStatus(
        jobLog_.WithLogFailure(WaitingStatusText(loopPort_, jobLog_.UpdatedThisSession())));
}

// From here the radio is written as any job: no way out until its box.
void UpdaterDialog::Answered() {
    waitingForRadio_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    EnableItem(IDCANCEL, false);
    EnableItem(IDC_NEXT_RADIO, false);
}

bool UpdaterDialog::RadioEnded(const WriteJobOutcome& outcome) {
    RecordJob(outcome);
    return NextRadioGoesOn(outcome);
}

// A port that no longer opens (the cable pulled out): said once, and the wait goes on until
// it opens again or the technician stops it.
bool UpdaterDialog::PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) {
    ShowJobStatus(PortGoneText(held.status));
    RecordJob(outcome);
    return true;
}

// On a worker, so that the window keeps answering, Exit and Escape included.
void UpdaterDialog::Pause(std::chrono::milliseconds time) {
    host_->RunWorker([this, time] {
        PauseUnlessStopped(time, [this] { return stopWaiting_.load(); });
        return 1;
    });
}

void UpdaterDialog::StopWaiting() {
    stopWaiting_ = true;
}

}  // namespace qv
