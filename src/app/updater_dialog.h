#pragma once
// The main window as the Qt toolkit shows it: the presenter (frontend/updater_presenter.h)
// decides what it shows and does; this class puts it into the widgets of the form and forwards
// what the user does.

#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtWidgets/QDialog>
#include <memory>

#include "app/app_storage.h"
#include "app/prompts.h"
#include "frontend/updater_presenter.h"
#include "frontend/updater_view.h"
#include "protocol/radio_link.h"

namespace Ui {
class UpdaterDialog;
}

namespace qv {

class ScopedInputDiscard;

class UpdaterDialog final : public QDialog, private UpdaterView {
    Q_OBJECT

  public:
    // arguments: the command line without the program's name.
    UpdaterDialog(RadioLink& link, const QStringList& arguments, Prompts& prompts,
                  QWidget* parent = nullptr);
    ~UpdaterDialog() override;

    // Initialises the window once, before it is first shown.
    void setVisible(bool visible) override;
    // The Cancel command: "&Exit", Escape, and the close box (QDialog turns a close into it).
    void reject() override;

    // What the window decides, for its tests.
    const UpdaterPresenter& Presenter() const { return *presenter_; }
    bool JobRunning() const { return presenter_->JobRunning(); }
    bool WaitingForRadio() const { return presenter_->WaitingForRadio(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
#ifdef _WIN32
    // WM_DEVICECHANGE: a port arrived or left.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

  private:
    void ShowTitle(const std::string& title) override;
    void ShowControls(const ControlState& controls) override;
    void ShowPorts(const PortListView& ports) override;
    void ShowNextRadioTicked(bool ticked) override;
    void ShowProgress(int position, int high) override;
    void ShowStatus(const std::string& text) override;
    BoxAnswer ShowBox(const MessageBox& box) override;
    std::optional<UpdaterSettings> EditSpecialSettings(const UpdaterSettings& settings) override;
    void ShowBanner(const std::string& title, const std::string& text) override;
    void CloseBanner() override;
    void EndWindow() override;
    void WakeWindowThread(SessionWake wake) override;

    void OnPortSelected();
    void OnAbout();

    std::unique_ptr<Ui::UpdaterDialog> ui_;
    Prompts& prompts_;
    QtSettingsStore userSettings_;
    ServiceLogFile serviceLog_;
    MachinePorts ports_;
    QTimer portPoll_;
    std::unique_ptr<ScopedInputDiscard> bannerInputDiscard_;
    bool initialised_ = false;
    std::unique_ptr<UpdaterPresenter> presenter_;  // last: its session ends before the widgets go
};

}  // namespace qv
