#pragma once
// What the main window shows, as one small interface that each window implements: the Qt
// window, the Windows window and the web page. The presenter (updater_presenter.h) decides;
// the view only puts it on screen. Called on the window's thread, but for WakeWindowThread.

#include <optional>
#include <string>

#include "frontend/message_box.h"
#include "frontend/port_list.h"
#include "frontend/session_runner.h"
#include "workflow/updater_settings.h"

namespace qv {

// The pointer over the window: the arrow, busy while a job runs, or working-in-the-background
// while the window waits for the next radio and may still be used.
enum class Pointer { Normal, Busy, WaitingForRadio };

// Which controls may be used, and the pointer.
struct ControlState {
    bool write = false;
    bool exit = false;  // Exit, Escape and the close box
    bool portList = false;
    bool nextRadio = false;             // "Update the next radio automatically"
    bool specialSettings = false;       // enabled
    bool specialSettingsShown = false;  // the designer mode
    bool systemMenu = false;            // the system menu's Close and About, F1
    Pointer pointer = Pointer::Normal;

    bool operator==(const ControlState&) const = default;
};

class UpdaterView {
  public:
    virtual void ShowTitle(const std::string& title) = 0;
    virtual void ShowControls(const ControlState& controls) = 0;
    // The entries, the one selected, and the no-port panel with its reason when none is listed.
    virtual void ShowPorts(const PortListView& ports) = 0;
    virtual void ShowNextRadioTicked(bool ticked) = 0;
    // The bar from 0 to high; a position below 0 shows it empty.
    virtual void ShowProgress(int position, int high) = 0;
    // The line under the bar.
    virtual void ShowStatus(const std::string& text) = 0;
    // A modal box; returns the button pressed.
    virtual BoxAnswer ShowBox(const MessageBox& box) = 0;
    // The special settings dialog on a copy of the settings: the copy after OK, nothing after
    // Cancel.
    virtual std::optional<UpdaterSettings> EditSpecialSettings(const UpdaterSettings& settings) = 0;
    // The start-up banner, shown while the ports are probed; input meanwhile is dropped.
    virtual void ShowBanner(const std::string& title, const std::string& text) = 0;
    virtual void CloseBanner() = 0;
    // Exit was confirmed: the window ends.
    virtual void EndWindow() = 0;
    // Called on the session's thread: the window's thread is to call the presenter's
    // OnSessionWake(wake) soon.
    virtual void WakeWindowThread(SessionWake wake) = 0;

  protected:
    ~UpdaterView() = default;
};

}  // namespace qv
