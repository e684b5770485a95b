#pragma once
// The main window: loads and checks the firmware, lists the ports, runs the write job (radio
// after radio when the technician asks for it), and asks before the program ends.

#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtWidgets/QDialog>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "app/app_storage.h"
#include "app/prompts.h"
#include "app/qt_job_host.h"
#include "frontend/job_log.h"
#include "frontend/next_radio_view.h"
#include "frontend/port_list.h"
#include "frontend/window_texts.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "workflow/updater_settings.h"
#include "workflow/write_job.h"

namespace Ui {
class UpdaterDialog;
}

namespace qv {

class UpdaterDialog final : public QDialog, public LockableWindow, private NextRadioView {
    Q_OBJECT

  public:
    // arguments: the command line without the program's name.
    UpdaterDialog(RadioLink& link, const QStringList& arguments, Prompts& prompts,
                  QWidget* parent = nullptr);
    ~UpdaterDialog() override;

    // Runs OnInitWindow once, before the window is first shown.
    void setVisible(bool visible) override;
    // The Cancel command: "&Exit", Escape, and the close box (QDialog turns a close into it).
    void reject() override;

    void OnInitWindow();
    void OnWrite();
    void OnPortSelected();
    void OnSpecialSettings();
    void OnExit();
    void OnSystemCommand(int command);
    void LockControls() override;
    void UnlockControls() override;
    void ShowJobStatus(const QString& text) override;

    // Lists the ports again as the cause calls for (PlanRefresh): new devices are probed, gone
    // ones dropped, the selection kept on its device.
    void RefreshPorts(RefreshCause cause = RefreshCause::Poll);

    // "Update the next radio automatically", after a successful update whose box was
    // acknowledged: waits on the same port for the next radio and writes it without the version
    // question, radio after radio, until the wait is stopped or a write fails.
    void UpdateNextRadios();
    // Exit, Escape or unticking the box while the window waits for a radio: the wait ends
    // within one poll of the link-up.
    void StopWaiting();

    bool DesignerMode() const { return designerMode_; }
    const UpdaterSettings& Settings() const { return settings_; }
    const LoadedImage& Image() const { return image_; }
    bool JobRunning() const { return controlsLocked_; }
    // Between two radios of the loop: no radio has answered yet.
    bool WaitingForRadio() const { return waitingForRadio_; }
    int UpdatedThisSession() const { return jobLog_.UpdatedThisSession(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
#ifdef _WIN32
    // WM_DEVICECHANGE: a port arrived or left.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

  private:
    void ReadCommandLine();
    bool LoadFirmwareImage(const std::string& path, int useMotFile);
    void SetTitle();
    void ScanPorts();
    void ShowPorts(const PortListView& view);
    void UpdateWriteButton();
    WriteJobInput JobInput() const;
    void RecordJob(const WriteJobOutcome& outcome);
    // The next-radio loop as this window presents it (updater_next_radio.cpp).
    void Waiting() override;
    void Answered() override;
    bool RadioEnded(const WriteJobOutcome& outcome) override;
    bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) override;
    void Pause(std::chrono::milliseconds time) override;
    bool StopRequested() override {
        return stopWaiting_;
    }

    std::unique_ptr<Ui::UpdaterDialog> ui_;
    RadioLink& link_;
    QStringList arguments_;
    Prompts& prompts_;
    std::unique_ptr<QtJobHost> host_;
    UpdaterSettings settings_;
    LoadedImage image_;
    PortList ports_;
    QTimer portPoll_;
    QtSettingsStore userSettings_;
    JobLog jobLog_;
    bool designerMode_ = false;
    bool initialised_ = false;
    bool controlsLocked_ = false;
    bool waitingForRadio_ = false;
    std::atomic<bool> stopWaiting_{false};  // read by the job's workers
    std::string loopPort_;                  // the port the loop waits on, as the texts name it
};

}  // namespace qv
