#include "winapp/updater_dialog.h"

#include <commctrl.h>
#include <dbt.h>

#include <chrono>

#include "image/package/package_resource.h"
#include "winapp/about_dialog.h"
#include "winapp/banner_window.h"
#include "winapp/queued_input.h"
#include "winapp/resource_ids.h"
#include "winapp/settings_dialog.h"
#include "winapp/wide_text.h"

namespace qv {

namespace {

constexpr UINT_PTR kPortPollTimer = 1;
constexpr UINT_PTR kDeviceSettleTimer = 2;
// How often a loop that runs until a condition looks at it while no message comes.
constexpr std::chrono::milliseconds kConditionSlice{20};

const wchar_t* CursorFor(Pointer pointer) {
    switch (pointer) {
        case Pointer::Busy:
            return IDC_WAIT;
        case Pointer::WaitingForRadio:
            return IDC_APPSTARTING;
        case Pointer::Normal:
            break;
    }
    return IDC_ARROW;
}

}  // namespace

UpdaterDialog::UpdaterDialog(RadioLink& link, std::vector<std::string> arguments, Prompts& prompts,
                             SettingsStore& store, ServiceLog& serviceLog)
    : prompts_(prompts),
      presenter_(PresenterParts{*this, link, store, serviceLog, ports_, CarriedPackage()},
                 std::move(arguments)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    largeIcon_ =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATER), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
}

UpdaterDialog::~UpdaterDialog() {
    wakeTarget_ = nullptr;
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    DestroyIcon(largeIcon_);
    DestroyIcon(smallIcon_);
    if (noPortFont_ != nullptr) {
        DeleteObject(noPortFont_);
    }
}

void UpdaterDialog::RunModal() {
    if (Create() != nullptr) {
        RunLoop();
    }
}

HWND UpdaterDialog::Create() {
    const HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER),
                                           nullptr, &DialogProc, reinterpret_cast<LPARAM>(this));
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

void UpdaterDialog::RunLoop(const std::function<bool()>& until) {
    const auto done = [&] { return ended_ || (until && until()); };
    while (!done()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            if (message.message == WM_QUIT) {
                // A job, and the wait for the next radio, end only through the job itself or
                // the Exit button. An idle window ends without asking, as a dialog's own loop
                // does.
                if (!presenter_.JobRunning()) {
                    ended_ = true;
                    DestroyWindow(window_);
                }
            } else if (window_ == nullptr || IsDialogMessageW(window_, &message) == 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (done()) {
                return;
            }
        }
        MsgWaitForMultipleObjectsEx(0, nullptr,
                                    until ? static_cast<DWORD>(kConditionSlice.count()) : INFINITE,
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

INT_PTR CALLBACK UpdaterDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<UpdaterDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInitWindow();
        return TRUE;  // the system sets the default focus
    }
    auto* self = reinterpret_cast<UpdaterDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->HandleMessage(message, wParam) : FALSE;
}

INT_PTR UpdaterDialog::HandleMessage(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_WORKER_DONE:
            if ((InSendMessageEx(nullptr) & ISMEX_NOTIFY) == 0) {
                return FALSE;  // DM_SETDEFID, the dialog manager's own
            }
            OnSessionEnded();
            return TRUE;
        case WM_SESSION_CALLS:
            // Cleared first: a call queued from here on wakes the window again.
            callsWakePending_ = false;
            presenter_.OnSessionWake(SessionWake::Calls);
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            // The close box and Alt+F4 do nothing while a job runs or the window waits for a
            // radio (Exit and Escape stop the wait); otherwise they ask as Exit does.
            if (!presenter_.JobRunning()) {
                presenter_.OnExit();
            }
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT ||
                ((wParam & 0xFFF0) == SC_CLOSE && presenter_.JobRunning())) {
                OnSystemCommand(wParam);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:  // F1: the window adds its way to the About box
            OnSystemCommand(IDM_ABOUT);
            return TRUE;
        case WM_SETCURSOR:
            if (presenter_.Controls().pointer == Pointer::Normal) {
                return FALSE;
            }
            SetCursor(LoadCursorW(nullptr, CursorFor(presenter_.Controls().pointer)));
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(largeIcon_);
        case WM_DEVICECHANGE:
            // A port arrived or left: the list follows once its driver is ready.
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
                SetTimer(window_, kDeviceSettleTimer,
                         static_cast<UINT>(kDeviceArrivalSettle.count()), nullptr);
            }
            return TRUE;
        case WM_TIMER: {
            const bool droppedDown =
                SendDlgItemMessageW(window_, IDC_PORT_LIST, CB_GETDROPPEDSTATE, 0, 0) != 0;
            if (wParam == kDeviceSettleTimer) {
                KillTimer(window_, kDeviceSettleTimer);
                presenter_.OnRefreshPorts(RefreshCause::DeviceChange, droppedDown);
            } else if (wParam == kPortPollTimer) {
                presenter_.OnRefreshPorts(RefreshCause::Poll, droppedDown);
            }
            return TRUE;
        }
        case WM_DESTROY:
            wakeTarget_ = nullptr;
            KillTimer(window_, kPortPollTimer);
            KillTimer(window_, kDeviceSettleTimer);
            return FALSE;
        case WM_NCDESTROY:
            window_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void UpdaterDialog::OnInitWindow() {
    wakeTarget_ = window_;
    SetIcons();
    SetNoPortPanelFont();
    AppendMenuW(GetSystemMenu(window_, FALSE), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(GetSystemMenu(window_, FALSE), MF_STRING, IDM_ABOUT, L"&About qv-updater...");
    tips_.Create(window_);
    tips_.Add(GetDlgItem(window_, IDC_STATUS_LINE));
    tips_.Add(GetDlgItem(window_, IDC_PORT_LIST));
    presenter_.OnInitWindow();
    SetTimer(window_, kPortPollTimer, static_cast<UINT>(kPortPollInterval.count()), nullptr);
}

void UpdaterDialog::OnCommand(int id, int code) {
    switch (id) {
        case IDC_WRITE:
            presenter_.OnWrite();
            break;
        case IDCANCEL:  // "&Exit", Escape, and Enter, as Exit is the default button
        case IDOK:      // no way out without the question
            presenter_.OnExit();
            break;
        case IDC_PORT_LIST:
            OnPortListCommand(code);
            break;
        case IDC_SPECIAL_SETTINGS:
            presenter_.OnSpecialSettings();
            break;
        case IDC_NEXT_RADIO:
            presenter_.OnNextRadioTicked(IsDlgButtonChecked(window_, IDC_NEXT_RADIO) ==
                                         BST_CHECKED);
            break;
        default:
            break;
    }
}

// The About box, not during a job: the job would stand still between its steps, the radio
// waiting, while it shows. The system menu's Close does nothing meanwhile.
void UpdaterDialog::OnSystemCommand(WPARAM command) {
    if ((command & 0xFFF0) == IDM_ABOUT && presenter_.MayOpenOtherWindows()) {
        RunAboutDialog(window_);
    }
}

void UpdaterDialog::OnSessionEnded() {
    presenter_.OnSessionWake(SessionWake::Ended);
    if (!presenter_.JobRunning()) {
        // Alt+F4 or a quit request that came while the job ran and waits in the queue still
        // was meant for the job's time: it is dropped with it.
        DropCloseRequests();
    }
}

void UpdaterDialog::SetIcons() {
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

// The window's size in a plain face: the longest reason with its fix fits the panel's lines.
// Made again when the window's font changes: the system makes the dialog's font anew for a
// monitor of another scale, but not the fonts the window made itself.
void UpdaterDialog::SetNoPortPanelFont() {
    const auto windowFont = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    LOGFONTW face{};
    if (windowFont == nullptr || windowFont == noPortFontSource_ ||
        GetObjectW(windowFont, sizeof(face), &face) == 0) {
        return;
    }
    face.lfWeight = FW_NORMAL;
    lstrcpynW(face.lfFaceName, L"Arial", LF_FACESIZE);
    const HFONT font = CreateFontIndirectW(&face);
    if (font == nullptr) {
        return;
    }
    SendDlgItemMessageW(window_, IDC_NO_PORT_PANEL, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                        TRUE);
    if (noPortFont_ != nullptr) {
        DeleteObject(noPortFont_);
    }
    noPortFont_ = font;
    noPortFontSource_ = windowFont;
}

void UpdaterDialog::ShowTitle(const std::string& title) {
    SetWindowTextW(window_, Wide(title).c_str());
}

void UpdaterDialog::ShowControls(const ControlState& controls) {
    EnableItem(IDC_WRITE, controls.write);
    EnableItem(IDCANCEL, controls.exit);
    EnableItem(IDC_PORT_LIST, controls.portList);
    EnableItem(IDC_NEXT_RADIO, controls.nextRadio);
    EnableItem(IDC_SPECIAL_SETTINGS, controls.specialSettings);
    ShowWindow(GetDlgItem(window_, IDC_SPECIAL_SETTINGS),
               controls.specialSettingsShown ? SW_SHOW : SW_HIDE);
    EnableSystemMenu(controls.systemMenu);
    // The pointer changes at once where it stands over the window, not at its next move.
    POINT at{};
    if (GetCursorPos(&at) != 0 && GetAncestor(WindowFromPoint(at), GA_ROOT) == window_) {
        SetCursor(LoadCursorW(nullptr, CursorFor(controls.pointer)));
    }
}

void UpdaterDialog::ShowNextRadioTicked(bool ticked) {
    CheckDlgButton(window_, IDC_NEXT_RADIO, ticked ? BST_CHECKED : BST_UNCHECKED);
}

// A position below the range is clamped by the bar: -1 shows it empty.
void UpdaterDialog::ShowProgress(int position, int high) {
    const HWND bar = GetDlgItem(window_, IDC_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(high));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void UpdaterDialog::ShowStatus(const std::string& text) {
    const HWND line = GetDlgItem(window_, IDC_STATUS_LINE);
    const std::wstring wide = Wide(text);
    SetWindowTextW(line, wide.c_str());
    tips_.SetText(line, wide);
}

BoxAnswer UpdaterDialog::ShowBox(const MessageBox& box) {
    return prompts_.ShowBox(window_, box);
}

std::optional<UpdaterSettings> UpdaterDialog::EditSpecialSettings(const UpdaterSettings& settings) {
    SpecialSettingsDialog dialog(settings, prompts_);
    if (dialog.Run(window_) != IDOK) {
        return std::nullopt;
    }
    return dialog.Settings();
}

void UpdaterDialog::ShowBanner(const std::string& title, const std::string& text) {
    EnableBanner(1);
    SetBannerTexts(BannerTexts{Wide(title), Wide(text)});
    qv::ShowBanner(window_);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

// Clicks and key presses made while the ports were probed are dropped, not replayed.
void UpdaterDialog::CloseBanner() {
    qv::CloseBanner();
    DiscardPendingInput();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void UpdaterDialog::EndWindow() {
    ended_ = true;
    DestroyWindow(window_);
}

// The session's calls wait in its queue until this window's thread runs them: one posted
// wake-up stands for all the calls queued until it is handled.
void UpdaterDialog::WakeWindowThread(SessionWake wake) {
    const HWND target = wakeTarget_;
    if (target == nullptr) {
        return;
    }
    if (wake == SessionWake::Ended) {
        SendNotifyMessageW(target, WM_WORKER_DONE, 0, 0);
        return;
    }
    if (!callsWakePending_.exchange(true) && PostMessageW(target, WM_SESSION_CALLS, 0, 0) == 0) {
        callsWakePending_ = false;
    }
}

void UpdaterDialog::EnableItem(int id, bool enabled) const {
    EnableWindow(GetDlgItem(window_, id), enabled ? TRUE : FALSE);
}

void UpdaterDialog::EnableSystemMenu(bool enabled) {
    const HMENU menu = GetSystemMenu(window_, FALSE);
    const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_CLOSE, state);
    EnableMenuItem(menu, IDM_ABOUT, state);
}

}  // namespace qv
