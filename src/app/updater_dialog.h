#pragma once
// The main window: loads and checks the firmware, lists the ports, runs the write job, and
// asks before the program ends.

#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtWidgets/QDialog>
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

    bool DesignerMode() const { return designerMode_; }
    const UpdaterSettings& Settings() const { return settings_; }
    const LoadedImage& Image() const { return image_; }
    bool JobRunning() const { return controlsLocked_; }

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
    void RecordJob(const WriteJobOutcome& outcome);

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
};

}  // namespace qv
