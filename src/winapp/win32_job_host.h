#pragma once
// The write job's host in the Windows window: boxes through the window's prompts, the progress
// bar by its own messages, and worker waits that keep the window painted but let nobody close
// it. A worker ends its wait with WM_WORKER_DONE, sent synchronously to the window.

#include <windows.h>

#include <functional>
#include <string>

#include "winapp/prompts.h"
#include "workflow/job_host.h"

namespace qv {

// The first message number of the window's own: the worker's end.
inline constexpr UINT WM_WORKER_DONE = WM_USER + 1;
// A status text for the window's thread; lParam points to the UTF-8 text.
inline constexpr UINT kShowStatusMessage = WM_APP + 1;

// What the host needs from the window around it.
class JobWindow {
  public:
    virtual HWND Handle() const = 0;
    virtual void LockControls() = 0;
    virtual void UnlockControls() = 0;
    // Called on the window's thread; shown before it returns.
    virtual void ShowJobStatus(const std::string& text) = 0;

  protected:
    ~JobWindow() = default;
};

class Win32JobHost final : public JobHost {
  public:
    Win32JobHost(JobWindow& window, HWND progressBar, Prompts& prompts);

    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override;
    void UnlockControls() override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    void ShowStatus(const std::string& text, StatusKind kind) override;
    int RunWorker(const std::function<int()>& work) override;

    // The window's procedure hands its messages here first; true when the host handled one.
    // WM_USER + 1 is also the dialog manager's DM_SETDEFID: only the number sent by another
    // thread, the worker, ends a wait; the dialog's own goes on to the dialog manager.
    bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    bool OnWindowThread() const;

    JobWindow& window_;
    HWND progressBar_;
    Prompts& prompts_;
    DWORD windowThread_;
    bool workerDone_ = false;  // read and written on the window's thread only
};

}  // namespace qv
