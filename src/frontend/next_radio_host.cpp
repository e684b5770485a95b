#include "frontend/next_radio_host.h"

namespace qv {

NextRadioHost::NextRadioHost(JobHost& host, NextRadioView& view, bool portLost)
    : host_(host), view_(view), portLost_(portLost) {}

BoxAnswer NextRadioHost::ShowMessage(const std::string& text, const std::string& caption,
                                     BoxButtons buttons, BoxIcon icon) {
    if (buttons == BoxButtons::OkCancel) {  // the version question, the job's only one
        return BoxAnswer::Ok;
    }
    {
        std::lock_guard lock(mutex_);
        if (!answered_) {
            held_.box = HeldBox{text, caption, buttons, icon};
            return BoxAnswer::Ok;
        }
    }
    return host_.ShowMessage(text, caption, buttons, icon);
}

void NextRadioHost::SetProgressRange(int low, int high) {
    host_.SetProgressRange(low, high);
}

void NextRadioHost::SetProgressPosition(int position) {
    host_.SetProgressPosition(position);
}

void NextRadioHost::StepStarted(Step step) {
    if (step == Step::LinkUp && portLost_) {  // the port has opened: the wait goes on
        portLost_ = false;
        view_.Waiting();
    }
    if (step == Step::ReadIdentification) {
        {
            std::lock_guard lock(mutex_);
            answered_ = true;
        }
        view_.Answered();
    }
    host_.StepStarted(step);
}

void NextRadioHost::ShowStatus(const std::string& text, StatusKind kind) {
    {
        std::lock_guard lock(mutex_);
        if (!answered_) {
            held_.status = text;
            return;
        }
    }
    host_.ShowStatus(text, kind);
}

int NextRadioHost::RunWorker(const std::function<int()>& work) {
    return host_.RunWorker(work);
}

bool NextRadioHost::StopRequested(JobPhase phase) {
    return (phase == JobPhase::Preparing && view_.StopRequested()) || host_.StopRequested(phase);
}

bool NextRadioHost::Answered() const {
    std::lock_guard lock(mutex_);
    return answered_;
}

HeldWords NextRadioHost::Held() const {
    std::lock_guard lock(mutex_);
    return held_;
}

}  // namespace qv
