// The main window's port list: the entries the presenter lists, the one selected, the no-port
// panel, and the user's choice handed back. What the list holds and when it is looked at again
// comes from the presenter; this file only puts it into the list control.

#include "winapp/windows_header.h"

#include <commctrl.h>

#include <algorithm>

#include "serial/windows_port_names.h"
#include "winapp/resource_ids.h"
#include "winapp/updater_dialog.h"
#include "winapp/wide_text.h"
#include "workflow/job_status.h"

namespace qv {

namespace {

// Room beside an entry's text in the dropped-down list: the list's margins and scroll bar.
constexpr int kDroppedWidthAllowance = 32;

}  // namespace

void UpdaterDialog::ShowPorts(const PortListView& ports) {
    const HWND list = GetDlgItem(window_, IDC_PORT_LIST);
    const int selected = ports.selected ? static_cast<int>(*ports.selected) : -1;
    if (entries_ != ports.entries || SendMessageW(list, CB_GETCURSEL, 0, 0) != selected) {
        // The entries keep the devices they were listed with: a port's number would name
        // another device once one is plugged in or out. Each entry's data is its port number.
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        entries_ = ports.entries;
        for (const PortEntry& entry : entries_) {
            const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(Wide(entry.text).c_str()));
            const auto number = ComPortNumber(ShownPortName(entry.device));
            SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), number.value_or(0));
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        FitDroppedWidth();
        ShowPortTip();
    }

    // The reason and its fix together, on as many lines as they take: a fix cut in the middle
    // of a status line helps nobody.
    const HWND panel = GetDlgItem(window_, IDC_NO_PORT_PANEL);
    if (ports.noPort) {
        SetNoPortPanelFont();
        SendMessageW(list, CB_SETCUEBANNER, 0,
                     reinterpret_cast<LPARAM>(Wide(ports.noPort->summary).c_str()));
        SetWindowTextW(panel, Wide(ports.noPort->detail).c_str());
    }
    ShowWindow(panel, ports.noPort ? SW_SHOW : SW_HIDE);
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

void UpdaterDialog::OnPortListCommand(int code) {
    if (code == CBN_DROPDOWN) {
        presenter_.OnRefreshPorts(RefreshCause::ListDropDown, true);
        return;
    }
    const LRESULT at = SendMessageW(GetDlgItem(window_, IDC_PORT_LIST), CB_GETCURSEL, 0, 0);
    if (code != CBN_SELCHANGE || at < 0 || static_cast<std::size_t>(at) >= entries_.size()) {
        return;
    }
    presenter_.OnPortSelected(entries_[static_cast<std::size_t>(at)].device);
    ShowPortTip();
}

// The list's tip holds the whole text of the entry chosen, which the list may cut.
void UpdaterDialog::ShowPortTip() {
    const LRESULT at = SendMessageW(GetDlgItem(window_, IDC_PORT_LIST), CB_GETCURSEL, 0, 0);
    if (at >= 0 && static_cast<std::size_t>(at) < entries_.size()) {
        tips_.SetText(GetDlgItem(window_, IDC_PORT_LIST),
                      Wide(entries_[static_cast<std::size_t>(at)].text));
    }
}

}  // namespace qv
