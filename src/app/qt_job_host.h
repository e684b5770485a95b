#pragma once
// The write job's host in the Qt window: boxes through the window's prompts, the progress bar,
// and worker waits that keep the window painted but let nobody close it.

#include <QtCore/QObject>
#include <QtCore/QString>
#include <functional>

#include "app/prompts.h"
#include "workflow/job_host.h"

class QProgressBar;
class QWidget;

namespace qv {

// What the host needs from the window around it.
class LockableWindow {
  public:
    virtual void LockControls() = 0;
    virtual void UnlockControls() = 0;
    // Called on the window's thread; shown before it returns.
    virtual void ShowJobStatus(const QString& /*text*/) {}

  protected:
    ~LockableWindow() = default;
};

class QtJobHost final : public JobHost {
  public:
    QtJobHost(QWidget* window, QProgressBar* progressBar, LockableWindow& controls,
              Prompts& prompts);

    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override;
    void UnlockControls() override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;

  private:
    // Runs action on the window's thread; from a worker it waits until the action is done.
    void OnWindowThread(const std::function<void()>& action);

    QWidget* window_;
    QProgressBar* progressBar_;
    LockableWindow& controls_;
    Prompts& prompts_;
};

// Swallows, while installed on the application, what would end the program or reach the
// window system's menu: close requests, quit requests and system keys (Alt+..., F10).
class CloseRequestSwallower final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qv
