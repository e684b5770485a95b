#include "frontend/updater_presenter.h"

#include "frontend/exit_rule.h"
#include "frontend/next_radio_loop.h"
#include "frontend/window_boxes.h"
#include "frontend/window_rules.h"
#include "frontend/window_texts.h"
#include "workflow/job_status.h"

namespace qv {

// The job's seat in the window: what the job shows goes to the window's thread in order; its
// question and its end wait there for the technician's answer.
class UpdaterPresenter::Seat final : public JobSeat {
  public:
    explicit Seat(UpdaterPresenter& presenter) : presenter_(presenter) {}

    bool ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) override {
        bool confirmed = false;
        presenter_.runner_.Call([&] {
            UpdaterView& view = presenter_.view_;
            confirmed = view.ShowBox(VersionChangeBox(radioVersion, newVersion)) == BoxAnswer::Ok;
            if (!confirmed) {
                view.ShowBox(CancelledBox());
            }
        });
        return confirmed;
    }

    // Posted calls may run after the seat is gone: they hold the presenter, which outlives
    // every session.
    void StatusText(const std::string& text, StatusKind /*kind*/) override {
        UpdaterPresenter& presenter = presenter_;
        presenter.runner_.Post([&presenter, text] { presenter.ShowStatus(text); });
    }

    void Progress(int blocksDone, int blocks) override {
        UpdaterPresenter& presenter = presenter_;
        presenter.runner_.Post([&presenter, blocksDone, blocks] {
            presenter.progressHigh_ = blocks;
            presenter.view_.ShowProgress(BarPosition(blocksDone, blocks), blocks);
        });
    }

    // The outcome's box, then the bar empty again: the window waits for OK before anything
    // goes on, the next radio included.
    void Finished(const WriteJobOutcome& outcome) override {
        presenter_.runner_.Call([&] {
            if (const std::optional<MessageBox> box = OutcomeBox(outcome)) {
                presenter_.view_.ShowBox(*box);
            }
            presenter_.view_.ShowProgress(-1, presenter_.progressHigh_);
        });
    }

    // Only a window that goes away stops its job.
    bool StopRequested(JobPhase /*phase*/) override { return presenter_.runner_.Closing(); }

  private:
    UpdaterPresenter& presenter_;
};

namespace {

enum class WindowPhase { Starting, Loading, Idle, Job, WaitingForRadio };

ControlState ControlsFor(WindowPhase phase, bool designerMode, bool writeAllowed,
                         bool portsListed) {
    ControlState controls;
    controls.specialSettingsShown = designerMode && phase != WindowPhase::Starting;
    switch (phase) {
        case WindowPhase::Starting:
        case WindowPhase::Loading:
            break;
        case WindowPhase::Idle:
            controls.write = writeAllowed;
            controls.exit = true;
            controls.portList = portsListed;
            controls.nextRadio = true;
            controls.specialSettings = designerMode;
            controls.systemMenu = true;
            break;
        case WindowPhase::Job:
            controls.pointer = Pointer::Busy;
            break;
        case WindowPhase::WaitingForRadio:
            // Exit and the box are there to stop the wait; Write and the port list stay locked.
            controls.exit = true;
            controls.nextRadio = true;
            controls.pointer = Pointer::WaitingForRadio;
            break;
    }
    return controls;
}

}  // namespace

UpdaterPresenter::UpdaterPresenter(const PresenterParts& parts, std::vector<std::string> arguments)
    : view_(parts.view),
      link_(parts.link),
      store_(parts.store),
      ports_(parts.ports),
      carriedPackage_(parts.carriedPackage),
      job_(parts.job),
      arguments_(std::move(arguments)),
      jobLog_(parts.store, parts.serviceLog),
      runner_([this](SessionWake wake) { view_.WakeWindowThread(wake); }) {}

UpdaterPresenter::~UpdaterPresenter() = default;

void UpdaterPresenter::OnInitWindow() {
    starting_ = true;
    ShowControls();
    settings_ = UpdaterSettings{};
    ReadCommandLine();
    LoadFirmwareImage(std::string(), 0);
    const std::string title = BuildWindowTitle(image_);
    view_.ShowTitle(title);

    view_.ShowBanner(title, kCheckingPortsText);
    OnRefreshPorts(RefreshCause::Startup);
    view_.CloseBanner();

    nextRadioTicked_ = StoredNextRadioChoice(store_);
    view_.ShowNextRadioTicked(nextRadioTicked_);
    starting_ = false;
    ShowControls();
}

void UpdaterPresenter::ReadCommandLine() {
    designerMode_ = false;
    for (const std::string& argument : arguments_) {
        if (IsDesignerWord(argument)) {
            designerMode_ = true;
            view_.ShowBox(DesignerBox());
        }
    }
}

void UpdaterPresenter::LoadFirmwareImage(const std::string& path, int useMotFile) {
    image_ = LoadAndCheckImage(settings_.maxBuffer, path, useMotFile, carriedPackage_);
    if (!image_.valid) {
        view_.ShowBox(ImageNotValidBox());
        link_.SetOpen(false);
    }
}

void UpdaterPresenter::ShowControls() {
    WindowPhase phase = WindowPhase::Idle;
    if (starting_) {
        phase = WindowPhase::Starting;
    } else if (waitingForRadio_) {
        phase = WindowPhase::WaitingForRadio;
    } else if (jobRunning_) {
        phase = WindowPhase::Job;
    }
    controls_ = ControlsFor(phase, designerMode_,
                            WriteAllowed(jobRunning_, image_.valid, portList_.entries.size()),
                            !portList_.entries.empty());
    view_.ShowControls(controls_);
}

void UpdaterPresenter::ShowStatus(const std::string& text) {
    statusText_ = text;
    view_.ShowStatus(text);
}

void UpdaterPresenter::OnRefreshPorts(RefreshCause cause, bool listDroppedDown) {
    const RefreshPlan plan = PlanRefresh(cause, jobRunning_, listDroppedDown);
    if (!plan.refresh) {
        return;
    }
    portList_ = ports_.Refresh(selectedDevice_, jobLog_.RememberedPort(), plan.retryUnopened);
    if (portList_.selected) {
        OnPortSelected(portList_.entries[*portList_.selected].device);
    }
    view_.ShowPorts(portList_);
    ShowControls();
}

void UpdaterPresenter::OnPortSelected(const std::string& device) {
    if (jobRunning_) {
        return;
    }
    selectedDevice_ = device;
    link_.SetDevicePath(device);
}

void UpdaterPresenter::OnWrite() {
    if (!controls_.write) {
        return;  // a click that waited in the queue while the window was busy
    }
    jobRunning_ = true;
    stopWaiting_ = false;
    ShowControls();
    const WriteJobInput input = JobInputFor(image_, settings_);
    if (!runner_.Start([this, input] { RunSession(input); })) {
        jobRunning_ = false;
        ShowStatus(kNoSessionThreadText);
        ShowControls();
    }
}

void UpdaterPresenter::OnSpecialSettings() {
    if (!controls_.specialSettings) {
        return;
    }
    const std::optional<UpdaterSettings> edited = view_.EditSpecialSettings(settings_);
    if (!edited) {
        return;
    }
    const UpdaterSettings before = settings_;
    settings_ = *edited;
    if (!SettingsCallForReload(before, settings_)) {
        return;
    }
    controls_ = ControlsFor(WindowPhase::Loading, designerMode_, false, false);
    view_.ShowControls(controls_);
    LoadFirmwareImage(settings_.motFilePath, settings_.useMotFile);
    view_.ShowTitle(BuildWindowTitle(image_));
    ShowControls();
}

void UpdaterPresenter::OnExit() {
    if (starting_) {
        return;
    }
    switch (WhatExitDoes(jobRunning_, waitingForRadio_)) {
        case ExitRequest::StopWaiting:
            StopWaiting();
            return;
        case ExitRequest::Refused:
            return;
        case ExitRequest::Confirm:
            break;
    }
    if (view_.ShowBox(ExitQuestionBox()) == BoxAnswer::Ok) {
        view_.EndWindow();
    }
}

void UpdaterPresenter::OnNextRadioTicked(bool ticked) {
    nextRadioTicked_ = ticked;
    StoreNextRadioChoice(store_, ticked);
    if (!ticked && waitingForRadio_) {
        StopWaiting();  // unticked while waiting: no next radio
    }
}

// The wait ends within one poll of the link-up; the window says so once the loop is over.
void UpdaterPresenter::StopWaiting() {
    stopWaiting_ = true;
}

void UpdaterPresenter::OnSessionWake(SessionWake wake) {
    runner_.RunCalls();
    if (wake == SessionWake::Ended && jobRunning_ && !runner_.Running()) {
        SessionEnded();
    }
}

void UpdaterPresenter::RecordJob(const WriteJobOutcome& outcome) {
    if (!jobLog_.Record(link_.DeviceName(), outcome)) {
        ShowStatus(jobLog_.WithLogFailure(statusText_));
    }
}

void UpdaterPresenter::RunSession(const WriteJobInput& input) {
    Seat seat(*this);
    const WriteJobOutcome outcome = job_(link_, seat, input);
    bool nextRadios = false;
    runner_.Call([&] {
        RecordJob(outcome);
        nextRadios = StartsNextRadioLoop(outcome, nextRadioTicked_);
        loopPort_ = ShownPortName(link_.DeviceName());
    });
    if (nextRadios && !runner_.Closing()) {
        RunNextRadioLoop(*this, seat, input,
                         [this](JobSeat& round, const WriteJobInput& roundInput) {
                             return job_(link_, round, roundInput);
                         });
    }
}

void UpdaterPresenter::SessionEnded() {
    if (waitingForRadio_) {  // stopped while no radio was on the line
        waitingForRadio_ = false;
        ShowStatus(StoppedWaitingText(loopPort_, jobLog_.UpdatedThisSession()));
    }
    jobRunning_ = false;
    ShowControls();
    OnRefreshPorts(RefreshCause::JobEnded);
}

void UpdaterPresenter::Waiting() {
    runner_.Post([this] {
        waitingForRadio_ = true;
        ShowControls();
        ShowStatus(
            jobLog_.WithLogFailure(WaitingStatusText(loopPort_, jobLog_.UpdatedThisSession())));
    });
}

// Decided on the window's thread, so that Exit cannot slip in between: from here the radio is
// written as any job, with no way out until its box.
bool UpdaterPresenter::Answered() {
    bool admitted = false;
    runner_.Call([&] {
        if (stopWaiting_) {
            return;
        }
        admitted = true;
        waitingForRadio_ = false;
        ShowControls();
    });
    return admitted;
}

bool UpdaterPresenter::RadioEnded(const WriteJobOutcome& outcome) {
    runner_.Call([&] { RecordJob(outcome); });
    return NextRadioGoesOn(outcome);
}

// A port that no longer opens (the cable pulled out): said once, and the wait goes on until it
// opens again or the technician stops it.
bool UpdaterPresenter::PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) {
    runner_.Call([&] {
        ShowStatus(PortGoneText(held.status));
        RecordJob(outcome);
    });
    return true;
}

void UpdaterPresenter::Pause(std::chrono::milliseconds time) {
    PauseUnlessStopped(time, [this] { return StopRequested(); });
}

}  // namespace qv
