#include "winapp/win32_job_host.h"

#include <commctrl.h>

#include "winapp/pump_messages.h"
#include "workflow/worker_thread.h"

namespace qv {

Win32JobHost::Win32JobHost(JobWindow& window, HWND progressBar, Prompts& prompts)
    : window_(window),
      progressBar_(progressBar),
      prompts_(prompts),
      windowThread_(GetWindowThreadProcessId(window.Handle(), nullptr)) {}

BoxAnswer Win32JobHost::ShowMessage(const std::string& text, const std::string& caption,
                                    BoxButtons buttons, BoxIcon icon) {
    return prompts_.ShowMessage(window_.Handle(), text, caption, buttons, icon);
}

void Win32JobHost::LockControls() {
    window_.LockControls();
}

void Win32JobHost::UnlockControls() {
    window_.UnlockControls();
}

void Win32JobHost::SetProgressRange(int low, int high) {
    SendMessageW(progressBar_, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

// From the worker the message is served by the window's thread while it pumps; the bar is
// painted before the worker goes on. A position outside the range is clamped by the bar: -1
// shows it empty.
void Win32JobHost::SetProgressPosition(int position) {
    SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    RedrawWindow(progressBar_, nullptr, nullptr, RDW_UPDATENOW);
}

void Win32JobHost::ShowStatus(const std::string& text, StatusKind /*kind*/) {
    if (OnWindowThread()) {
        window_.ShowJobStatus(text);
        return;
    }
    SendMessageW(window_.Handle(), kShowStatusMessage, 0, reinterpret_cast<LPARAM>(&text));
}

int Win32JobHost::RunWorker(const std::function<int()>& work) {
    workerDone_ = false;
    const HWND window = window_.Handle();
    WorkerThread worker;
    // The worker's last word: it returns only once the window's thread has taken it.
    const bool started =
        worker.Start(work, [window] { SendMessageW(window, WM_WORKER_DONE, 0, 0); });
    while (started && !workerDone_) {
        PumpMessages(window);
        if (!workerDone_) {
            WaitForMessages();
        }
    }
    DropSystemKeysAndQuit();
    // A worker that could not start counts as a failed step.
    return started ? worker.Join() : 0;
}

bool Win32JobHost::HandleWindowMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message == WM_WORKER_DONE) {
        if ((InSendMessageEx(nullptr) & ISMEX_SEND) == 0) {
            return false;  // DM_SETDEFID from this thread: the dialog manager's
        }
        workerDone_ = true;
        return true;
    }
    if (message == kShowStatusMessage) {
        window_.ShowJobStatus(*reinterpret_cast<const std::string*>(lParam));
        return true;
    }
    return false;
}

bool Win32JobHost::OnWindowThread() const {
    return GetCurrentThreadId() == windowThread_;
}

}  // namespace qv
