#include "app/next_radio_host.h"

#include "workflow/job_status.h"

namespace qv {

namespace {

std::string SessionCount(int updated) {
    return " (" + std::to_string(updated) + " updated this session)";
}

}  // namespace

NextRadioHost::NextRadioHost(JobHost& window, std::function<void()> onAnswered,
                             const std::atomic<bool>& stop)
    : window_(window), onAnswered_(std::move(onAnswered)), stop_(stop) {}

BoxAnswer NextRadioHost::ShowMessage(const std::string& text, const std::string& caption,
                                     BoxButtons buttons, BoxIcon icon) {
    if (buttons == BoxButtons::OkCancel) {  // the version question, the job's only one
        return BoxAnswer::Ok;
    }
    {
        std::lock_guard lock(mutex_);
        if (!answered_) {
            heldBox_ = HeldBox{text, caption, buttons, icon};
            return BoxAnswer::Ok;
        }
    }
    return window_.ShowMessage(text, caption, buttons, icon);
}

void NextRadioHost::SetProgressRange(int low, int high) {
    window_.SetProgressRange(low, high);
}

void NextRadioHost::SetProgressPosition(int position) {
    window_.SetProgressPosition(position);
}

void NextRadioHost::StepStarted(std::string_view step) {
    if (step != "ReadIdentification") {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (answered_) {
            return;
        }
        answered_ = true;
    }
    if (onAnswered_) {
        onAnswered_();
    }
}

void NextRadioHost::ShowStatus(const std::string& text, StatusKind kind) {
    {
        std::lock_guard lock(mutex_);
        if (!answered_) {
            heldStatus_ = text;
            return;
        }
    }
    window_.ShowStatus(text, kind);
}

int NextRadioHost::RunWorker(const std::function<int()>& work) {
    return window_.RunWorker(work);
}

bool NextRadioHost::StopRequested(JobPhase phase) {
    return phase == JobPhase::Preparing && stop_.load();
}

bool NextRadioHost::Answered() const {
    std::lock_guard lock(mutex_);
    return answered_;
}

std::string NextRadioHost::HeldStatus() const {
    std::lock_guard lock(mutex_);
    return heldStatus_;
}

std::optional<HeldBox> NextRadioHost::HeldMessage() const {
    std::lock_guard lock(mutex_);
    return heldBox_;
}

std::string WaitingStatusText(std::string_view port, int updated) {
    return WaitingForRadioText(port) + SessionCount(updated);
}

std::string StoppedWaitingText(std::string_view port, int updated) {
    return "Stopped waiting for the next radio on " + std::string(port) + SessionCount(updated);
}

}  // namespace qv
