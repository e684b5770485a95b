#pragma once
// What the main window decides, without a toolkit: the settings, the loaded image and its
// title, the port list, the designer mode, the locked and waiting states, the job log, and the
// session (the write job, then radio after radio when the technician asks for it) on a thread
// of its own. The Qt window, the Windows window and the web page each implement UpdaterView and
// forward what the user does here; the window's thread never runs a step of the job.

#include <atomic>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "frontend/job_log.h"
#include "frontend/next_radio_view.h"
#include "frontend/port_list.h"
#include "frontend/session_runner.h"
#include "frontend/updater_view.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "workflow/updater_settings.h"
#include "workflow/write_job.h"

namespace qv {

// One radio's job on the window's link: RunJob, or a script in the presenter's tests.
using SessionJob =
    std::function<WriteJobOutcome(RadioLink& link, JobSeat& seat, const WriteJobInput& input)>;

// Where the presenter finds its ports: the window's port list, or the web page's granted ports.
class PortSource {
  public:
    virtual ~PortSource() = default;
    // The ports as they stand now; selectedDevice is kept while it is listed, otherwise the
    // first choice with rememberedPort first.
    virtual PortListView Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                                 bool retryUnopened) = 0;
};

// The serial ports of this machine, each probed once (PortList).
class MachinePorts final : public PortSource {
  public:
    PortListView Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                         bool retryUnopened) override {
        return list_.Refresh(selectedDevice, rememberedPort, retryUnopened);
    }

  private:
    PortList list_;
};

struct PresenterParts {
    UpdaterView& view;
    RadioLink& link;  // the window's one link: every job and every loop round run on it
    SettingsStore& store;
    ServiceLog& serviceLog;
    PortSource& ports;
    std::span<const std::uint8_t> carriedPackage;  // scrambled, as the program holds it
    SessionJob job = RunJob;
};

class UpdaterPresenter final : private NextRadioView {
  public:
    // arguments: the command line without the program's name.
    UpdaterPresenter(const PresenterParts& parts, std::vector<std::string> arguments);
    // A session still running is stopped at its next step and waited for.
    ~UpdaterPresenter();
    UpdaterPresenter(const UpdaterPresenter&) = delete;
    UpdaterPresenter& operator=(const UpdaterPresenter&) = delete;

    // What the user does, forwarded by the window on its thread.
    // Before the window first shows: the designer word, the image, the title, the banner while
    // the ports are probed, then the controls.
    void OnInitWindow();
    void OnWrite();
    // The port list's choice: the device of the entry chosen.
    void OnPortSelected(const std::string& device);
    void OnSpecialSettings();
    // Exit, Escape and the close box: refused during a job, the wait for the next radio stopped,
    // otherwise asked.
    void OnExit();
    void OnNextRadioTicked(bool ticked);
    // The ports are looked at again as the cause calls for; listDroppedDown: the list is open
    // under the user's eyes now.
    void OnRefreshPorts(RefreshCause cause, bool listDroppedDown = false);
    // The view was woken by the session (UpdaterView::WakeWindowThread).
    void OnSessionWake(SessionWake wake);

    // What the window shows, for its own decisions and for tests.
    bool DesignerMode() const { return designerMode_; }
    const UpdaterSettings& Settings() const { return settings_; }
    const LoadedImage& Image() const { return image_; }
    bool JobRunning() const { return jobRunning_; }
    // Between two radios of the loop: no radio has answered yet.
    bool WaitingForRadio() const { return waitingForRadio_; }
    int UpdatedThisSession() const { return jobLog_.UpdatedThisSession(); }
    const std::string& StatusText() const { return statusText_; }
    const ControlState& Controls() const { return controls_; }
    // The About box and other windows of the window's own: not while a job runs, which would
    // stand still between its steps, the radio waiting, while one shows.
    bool MayOpenOtherWindows() const { return !jobRunning_; }

  private:
    class Seat;

    void ReadCommandLine();
    void LoadFirmwareImage(const std::string& path, int useMotFile);
    void ShowControls();
    void ShowStatus(const std::string& text);
    void RecordJob(const WriteJobOutcome& outcome);
    void StopWaiting();

    // On the session's thread.
    void RunSession(const WriteJobInput& input);
    // The next-radio loop as the window presents it.
    void Waiting() override;
    bool Answered() override;
    bool RadioEnded(const WriteJobOutcome& outcome) override;
    bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) override;
    void Pause(std::chrono::milliseconds time) override;
    bool StopRequested() override { return stopWaiting_ || runner_.Closing(); }

    // On the window's thread, once the session has ended.
    void SessionEnded();

    UpdaterView& view_;
    RadioLink& link_;
    SettingsStore& store_;
    PortSource& ports_;
    std::span<const std::uint8_t> carriedPackage_;
    SessionJob job_;
    std::vector<std::string> arguments_;
    JobLog jobLog_;

    UpdaterSettings settings_;
    LoadedImage image_;
    PortListView portList_;
    std::string selectedDevice_;
    bool designerMode_ = false;
    bool starting_ = true;  // until the start-up is through
    bool jobRunning_ = false;
    bool waitingForRadio_ = false;
    bool nextRadioTicked_ = false;
    std::atomic<bool> stopWaiting_{false};  // read on the session's thread
    std::string loopPort_;                  // the port the loop waits on, as the texts name it
    std::string statusText_;
    ControlState controls_;
    int progressHigh_ = 0;

    SessionRunner runner_;  // last: a session still running ends before the rest goes
};

}  // namespace qv
