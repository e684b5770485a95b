#pragma once
// The main window (template 102) as the presenter's view: it puts on screen what the presenter
// decides (src/frontend/updater_presenter.h) and forwards what the user does. The session runs
// on a thread of its own; its wake-ups reach this window's thread as messages, so the window
// keeps answering, painting and refusing to close through every wait of the job.

#include "winapp/windows_header.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "frontend/updater_presenter.h"
#include "frontend/updater_view.h"
#include "winapp/prompts.h"
#include "winapp/tool_tips.h"

namespace qv {

// The session's end, sent with SendNotifyMessageW from the session's thread. The number is
// also the dialog manager's DM_SETDEFID, which the dialog sends itself on its own thread: only
// a notification from another thread is the session's end.
inline constexpr UINT WM_WORKER_DONE = WM_USER + 1;
// The session has calls for the window's thread; posted, one at a time.
inline constexpr UINT WM_SESSION_CALLS = WM_APP + 1;

class UpdaterDialog final : public UpdaterView {
  public:
    // arguments: the command line without the program's name, as UTF-8. store and serviceLog:
    // where the window keeps the remembered port, the next-radio choice and the job lines.
    UpdaterDialog(RadioLink& link, std::vector<std::string> arguments, Prompts& prompts,
                  SettingsStore& store, ServiceLog& serviceLog);
    ~UpdaterDialog();
    UpdaterDialog(const UpdaterDialog&) = delete;
    UpdaterDialog& operator=(const UpdaterDialog&) = delete;

    // The program's window: creates it and runs its loop until it has ended.
    void RunModal();
    // Creates the window and shows it; its messages flow once RunLoop runs.
    HWND Create();
    // The window's message loop: keys reach the dialog's controls; a quit request is dropped
    // while a job runs and ends the window otherwise. Returns once the window has ended, or
    // once `until` says so (looked at after every message and at least every few tens of ms).
    void RunLoop(const std::function<bool()>& until = {});

    HWND Handle() const { return window_; }
    // Exit was confirmed: the window ended.
    bool Ended() const { return ended_; }
    const UpdaterPresenter& Presenter() const { return presenter_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam);
    void OnInitWindow();
    void OnCommand(int id, int code);
    void OnPortListCommand(int code);
    void OnSystemCommand(WPARAM command);
    void OnSessionEnded();

    // UpdaterView, on the window's thread.
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
    // On the session's thread.
    void WakeWindowThread(SessionWake wake) override;

    void SetIcons();
    void SetNoPortPanelFont();
    void FitDroppedWidth();
    void ShowPortTip();
    void EnableItem(int id, bool enabled) const;
    // The system menu's Close and About.
    void EnableSystemMenu(bool enabled);

    HWND window_ = nullptr;
    // The window the session's wake-ups go to, read on the session's thread; null once the
    // window is gone.
    std::atomic<HWND> wakeTarget_{nullptr};
    std::atomic<bool> callsWakePending_{false};
    Prompts& prompts_;
    ToolTips tips_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT noPortFont_ = nullptr;        // the no-port panel's, narrower than the window's
    HFONT noPortFontSource_ = nullptr;  // the window's font it was made from
    std::vector<PortEntry> entries_;    // what the port list shows, in its order
    bool ended_ = false;
    MachinePorts ports_;
    // Last: a session still running ends before the window's parts go.
    UpdaterPresenter presenter_;
};

}  // namespace qv
