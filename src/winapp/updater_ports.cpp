// The main window's port list: the probe at start-up, the list following the cables while the
// window is idle, and the choice of a port. What the list holds comes from PortList; this file
// only puts it into the list control.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "serial/windows_port_names.h"
#include "winapp/pump_messages.h"
#include "winapp/resource_ids.h"
#include "winapp/updater_dialog.h"
#include "winapp/wide_text.h"
#include "workflow/job_status.h"

namespace qv {

namespace {

// Room beside an entry's text in the dropped-down list: the list's margins and scroll bar.
constexpr int kDroppedWidthAllowance = 32;

bool SameEntries(const std::vector<PortEntry>& shown, const std::vector<PortEntry>& listed) {
    return std::equal(shown.begin(), shown.end(), listed.begin(), listed.end(),
                      [](const PortEntry& a, const PortEntry& b) {
                          return a.device == b.device && a.text == b.text;
                      });
}

}  // namespace

void UpdaterDialog::ScanPorts() {
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RefreshPorts(RefreshCause::Startup);
    // Clicks and key presses made while the ports were probed are dropped, not replayed.
    DiscardPendingInput();
    SetCursor(previous != nullptr ? previous : LoadCursorW(nullptr, IDC_ARROW));
}

void UpdaterDialog::RefreshPorts(RefreshCause cause) {
    const HWND list = GetDlgItem(window_, IDC_PORT_LIST);
    const bool droppedDown = SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const RefreshPlan plan = PlanRefresh(cause, controlsLocked_, droppedDown);
    if (!plan.refresh) {
        return;
    }
    const LRESULT current = SendMessageW(list, CB_GETCURSEL, 0, 0);
    const std::string selected = current >= 0 && static_cast<std::size_t>(current) < entries_.size()
                                     ? entries_[static_cast<std::size_t>(current)].device
                                     : std::string();
    ShowPorts(ports_.Refresh(selected, jobLog_.RememberedPort(), plan.retryUnopened));
}

void UpdaterDialog::ShowPorts(const PortListView& view) {
    const HWND list = GetDlgItem(window_, IDC_PORT_LIST);
    const int selected = view.selected ? static_cast<int>(*view.selected) : -1;
    if (!SameEntries(entries_, view.entries) ||
        SendMessageW(list, CB_GETCURSEL, 0, 0) != selected) {
        // The entries keep the devices they were listed with: a port's number would name
        // another device once one is plugged in or out. Each entry's data is its port number.
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        entries_ = view.entries;
        for (const PortEntry& entry : entries_) {
            const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(Wide(entry.text).c_str()));
            const auto number = ComPortNumber(ShownPortName(entry.device));
            SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), number.value_or(0));
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        FitDroppedWidth();
        OnPortSelected();
    }
    EnableItem(IDC_PORT_LIST, !entries_.empty());

    // The reason and its fix together, on as many lines as they take: a fix cut in the middle
    // of a status line helps nobody.
    const HWND panel = GetDlgItem(window_, IDC_NO_PORT_PANEL);
    if (view.noPort) {
        SetNoPortPanelFont();
        SendMessageW(list, CB_SETCUEBANNER, 0,
                     reinterpret_cast<LPARAM>(Wide(view.noPort->summary).c_str()));
        SetWindowTextW(panel, Wide(view.noPort->detail).c_str());
    }
    ShowWindow(panel, view.noPort ? SW_SHOW : SW_HIDE);
    UpdateWriteButton();
}

// The list drops down wide enough for its longest entry.
void UpdaterDialog::FitDroppedWidth() {
    const HWND list = GetDlgItem(window_, IDC_PORT_LIST);
    const HDC dc = GetDC(list);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const PortEntry& entry : entries_) {
        const std::wstring text = Wide(entry.text);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + kDroppedWidthAllowance), 0);
}

void UpdaterDialog::OnPortSelected() {
    const LRESULT at = SendMessageW(GetDlgItem(window_, IDC_PORT_LIST), CB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<std::size_t>(at) >= entries_.size()) {
        return;
    }
    const PortEntry& entry = entries_[static_cast<std::size_t>(at)];
    link_.SetDevicePath(entry.device);
    tips_.SetText(GetDlgItem(window_, IDC_PORT_LIST), Wide(entry.text));
}

}  // namespace qv
