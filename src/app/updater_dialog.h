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

#include "app/port_probe.h"
#include "app/prompts.h"
#include "app/qt_job_host.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "workflow/updater_settings.h"
#include "workflow/write_job.h"

namespace Ui {
class UpdaterDialog;
}

namespace qv {

// The command-line word that turns the designer mode on, in any letter case.
inline constexpr const char* kDesignerWord = "qzx";
inline constexpr const char* kDesignerMessage = "This is Special Version for Designer!";
inline constexpr const char* kExitQuestion = "Do you wish to exit this program?";
inline constexpr const char* kExitCaption = "Confirmation";
inline constexpr const char* kCheckingPortsText = "Checking COM Port Connection.....";
// The system command that opens the About box (its low four bits are free).
inline constexpr int kAboutCommand = 0x0010;
// While the window is idle the port list follows the cables at this pace.
inline constexpr std::chrono::milliseconds kPortPollInterval{2000};

class UpdaterDialog final : public QDialog, public LockableWindow {
    Q_OBJECT

  public:
    // arguments: the command line without the program's name.
    UpdaterDialog(RadioLink& link, const QStringList& arguments, Prompts& prompts,
                  QWidget* parent = nullptr);
    ~UpdaterDialog() override;

    // Runs OnInitWindow once, before the window is first shown.
    void setVisible(bool visible) override;
    // The Cancel command: "&Exit", Escape, and the close box.
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

    // Lists the ports again: new devices are probed, gone ones dropped, the selection kept on
    // its device. Nothing while a job runs. Called every kPortPollInterval while idle, when the
    // list drops down (retrying the ports that could not be opened), and on Windows when a
    // device arrives or leaves.
    void RefreshPorts(bool retryUnopened = false);

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
    int UpdatedThisSession() const { return updatedThisSession_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
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
    void ShowPorts(const std::vector<ListedPort>& listed, const std::vector<PortInfo>& table);
    void UpdateWriteButton();
    WriteJobInput JobInput() const;
    void RecordJob(const WriteJobOutcome& outcome);
    // The loop's parts (updater_next_radio.cpp).
    enum class RoundEnd { NobodyAnswered, NextRadio, LoopEnds };
    RoundEnd RunNextRadioRound(const WriteJobInput& input, const std::string& port);
    void WaitForRadio(const std::string& port);
    void RadioAnswered();
    void PauseUnlessStopped(std::chrono::milliseconds time);

    std::unique_ptr<Ui::UpdaterDialog> ui_;
    RadioLink& link_;
    QStringList arguments_;
    Prompts& prompts_;
    std::unique_ptr<QtJobHost> host_;
    UpdaterSettings settings_;
    LoadedImage image_;
    PortProbe portProbe_;
    QTimer portPoll_;
    bool designerMode_ = false;
    bool initialised_ = false;
    bool controlsLocked_ = false;
    bool noPortShown_ = false;  // the status line explains why no port can be chosen
    bool waitingForRadio_ = false;
    std::atomic<bool> stopWaiting_{false};  // read by the job's workers
    int updatedThisSession_ = 0;            // radios written successfully since the start
};

}  // namespace qv
