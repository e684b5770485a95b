#include "winapp/updater_dialog.h"

#include <commctrl.h>
#include <dbt.h>

#include "frontend/exit_rule.h"
#include "frontend/window_rules.h"
#include "frontend/window_texts.h"
#include "image/package/package_resource.h"
#include "winapp/about_dialog.h"
#include "winapp/banner_window.h"
#include "winapp/resource_ids.h"
#include "winapp/settings_dialog.h"
#include "winapp/wide_text.h"
#include "workflow/job_messages.h"

namespace qv {

namespace {

constexpr UINT_PTR kPortPollTimer = 1;
constexpr UINT_PTR kDeviceSettleTimer = 2;

}  // namespace

UpdaterDialog::UpdaterDialog(RadioLink& link, std::vector<std::string> arguments, Prompts& prompts,
                             SettingsStore& store, std::filesystem::path serviceLog)
    : link_(link),
      arguments_(std::move(arguments)),
      prompts_(prompts),
      userSettings_(store),
      jobLog_(store, std::move(serviceLog)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    largeIcon_ =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_UPDATER), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
}

UpdaterDialog::~UpdaterDialog() {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    DestroyIcon(largeIcon_);
    DestroyIcon(smallIcon_);
    if (noPortFont_ != nullptr) {
        DeleteObject(noPortFont_);
    }
}

INT_PTR UpdaterDialog::RunModal() {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER), nullptr,
                           &DialogProc, reinterpret_cast<LPARAM>(this));
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
    return self != nullptr ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR UpdaterDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (host_ && host_->HandleWindowMessage(message, wParam, lParam)) {
        return TRUE;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT ||
                ((wParam & 0xFFF0) == SC_CLOSE && controlsLocked_)) {
                OnSystemCommand(wParam);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:  // F1: the window adds its way to the About box
            OnSystemCommand(IDM_ABOUT);
            return TRUE;
        case WM_SETCURSOR:
            if (!controlsLocked_) {
                return FALSE;
            }
            SetCursor(LoadCursorW(nullptr, waitingForRadio_ ? IDC_APPSTARTING : IDC_WAIT));
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
        case WM_TIMER:
            if (wParam == kDeviceSettleTimer) {
                KillTimer(window_, kDeviceSettleTimer);
                RefreshPorts(RefreshCause::DeviceChange);
            } else if (wParam == kPortPollTimer) {
                RefreshPorts(RefreshCause::Poll);
            }
            return TRUE;
        case WM_DESTROY:
            KillTimer(window_, kPortPollTimer);
            KillTimer(window_, kDeviceSettleTimer);
            return FALSE;
        default:
            return FALSE;
    }
}

void UpdaterDialog::OnCommand(int id, int code) {
    switch (id) {
        case IDC_WRITE:
            OnWrite();
            break;
        case IDCANCEL:  // "&Exit", Escape, and Enter, as Exit is the default button
        case IDOK:      // no way out without the question
            OnExit();
            break;
        case IDC_PORT_LIST:
            if (code == CBN_SELCHANGE) {
                OnPortSelected();
            } else if (code == CBN_DROPDOWN) {
                RefreshPorts(RefreshCause::ListDropDown);
            }
            break;
        case IDC_SPECIAL_SETTINGS:
            OnSpecialSettings();
            break;
        case IDC_NEXT_RADIO:
            OnNextRadioClicked();
            break;
        default:
            break;
    }
}

void UpdaterDialog::OnInitWindow() {
    host_ = std::make_unique<Win32JobHost>(*this, GetDlgItem(window_, IDC_PROGRESS), prompts_);
    SetIcons();
    SetNoPortPanelFont();
    AppendMenuW(GetSystemMenu(window_, FALSE), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(GetSystemMenu(window_, FALSE), MF_STRING, IDM_ABOUT, L"&About qv-updater...");
    tips_.Create(window_);
    tips_.Add(GetDlgItem(window_, IDC_STATUS_LINE));
    tips_.Add(GetDlgItem(window_, IDC_PORT_LIST));
    EnableItem(IDC_WRITE, false);
    EnableItem(IDCANCEL, false);
    settings_ = UpdaterSettings{};
    ReadCommandLine();
    LoadFirmwareImage(std::string(), 0);
    SetTitle();

    EnableBanner(1);
    SetBannerTexts(BannerTexts{Wide(BuildWindowTitle(image_)), Wide(kCheckingPortsText)});
    ShowBanner(window_);
    ScanPorts();
    CloseBanner();

    ShowWindow(GetDlgItem(window_, IDC_SPECIAL_SETTINGS), designerMode_ ? SW_SHOW : SW_HIDE);
    CheckDlgButton(window_, IDC_NEXT_RADIO,
                   StoredNextRadioChoice(userSettings_) ? BST_CHECKED : BST_UNCHECKED);
    UpdateWriteButton();
    EnableItem(IDCANCEL, true);
    SetTimer(window_, kPortPollTimer, static_cast<UINT>(kPortPollInterval.count()), nullptr);
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

void UpdaterDialog::ReadCommandLine() {
    designerMode_ = false;
    for (const std::string& argument : arguments_) {
        if (IsDesignerWord(argument)) {
            designerMode_ = true;
            prompts_.ShowMessage(window_, kDesignerMessage, kUpdaterCaption, BoxButtons::Ok,
                                 BoxIcon::Information);
        }
    }
}

bool UpdaterDialog::LoadFirmwareImage(const std::string& path, int useMotFile) {
    image_ = LoadAndCheckImage(settings_.maxBuffer, path, useMotFile, CarriedPackage());
    if (!image_.valid) {
        prompts_.ShowMessage(window_, kImageNotValidMessage, kErrorCaption, BoxButtons::Ok,
                             BoxIcon::None);
        link_.SetOpen(false);
    }
    return image_.valid;
}

void UpdaterDialog::SetTitle() {
    SetWindowTextW(window_, Wide(BuildWindowTitle(image_)).c_str());
}

WriteJobInput UpdaterDialog::JobInput() const {
    return JobInputFor(image_, settings_);
}

void UpdaterDialog::OnWrite() {
    if (controlsLocked_) {
        return;  // a click that waited in the queue while a job ran
    }
    const WriteJobOutcome outcome = RunWriteJob(link_, *host_, JobInput());
    RecordJob(outcome);
    if (StartsNextRadioLoop(outcome, NextRadioTicked())) {
        UpdateNextRadios();
    }
    RefreshPorts(RefreshCause::JobEnded);
}

void UpdaterDialog::RecordJob(const WriteJobOutcome& outcome) {
    if (!jobLog_.Record(link_.DeviceName(), outcome)) {
        ShowJobStatus(jobLog_.WithLogFailure(statusText_));
    }
}

void UpdaterDialog::OnSpecialSettings() {
    if (controlsLocked_) {
        return;
    }
    SpecialSettingsDialog dialog(settings_, prompts_);
    if (dialog.Run(window_) != IDOK) {
        return;
    }
    const UpdaterSettings before = settings_;
    settings_ = dialog.Settings();
    if (!SettingsCallForReload(before, settings_)) {
        return;
    }
    EnableItem(IDC_WRITE, false);
    EnableItem(IDCANCEL, false);
    LoadFirmwareImage(settings_.motFilePath, settings_.useMotFile);
    SetTitle();
    UpdateWriteButton();
    EnableItem(IDCANCEL, true);
}

void UpdaterDialog::OnExit() {
    switch (WhatExitDoes(controlsLocked_, waitingForRadio_)) {
        case ExitRequest::StopWaiting:
            StopWaiting();
            return;
        case ExitRequest::Refused:
            return;
        case ExitRequest::Confirm:
            break;
    }
    const BoxAnswer answer = prompts_.ShowMessage(window_, kExitQuestion, kExitCaption,
                                                  BoxButtons::OkCancel, BoxIcon::Question);
    if (answer == BoxAnswer::Ok) {
        ended_ = true;
        EndDialog(window_, IDCANCEL);
    }
}

// The close box and Alt+F4 do nothing while a job runs or the window waits for a radio (Exit
// and Escape stop the wait); otherwise they ask as Exit does.
void UpdaterDialog::OnClose() {
    if (!controlsLocked_) {
        OnExit();
    }
}

// The About box, not during a job: the job would stand still between its steps, the radio
// waiting, while it shows.
void UpdaterDialog::OnSystemCommand(WPARAM command) {
    if ((command & 0xFFF0) == IDM_ABOUT && !controlsLocked_) {
        RunAboutDialog(window_);
    }
}

void UpdaterDialog::OnNextRadioClicked() {
    const bool automatic = NextRadioTicked();
    StoreNextRadioChoice(userSettings_, automatic);
    if (!automatic && waitingForRadio_) {
        StopWaiting();  // unticked while waiting: no next radio
    }
}

bool UpdaterDialog::NextRadioTicked() const {
    return IsDlgButtonChecked(window_, IDC_NEXT_RADIO) == BST_CHECKED;
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

void UpdaterDialog::LockControls() {
    controlsLocked_ = true;
    EnableItem(IDC_WRITE, false);
    EnableItem(IDCANCEL, false);
    EnableItem(IDC_PORT_LIST, false);
    EnableItem(IDC_NEXT_RADIO, false);
    if (designerMode_) {
        EnableItem(IDC_SPECIAL_SETTINGS, false);
    }
    EnableSystemMenu(false);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void UpdaterDialog::UnlockControls() {
    EnableItem(IDC_WRITE, true);
    EnableItem(IDCANCEL, true);
    EnableItem(IDC_PORT_LIST, true);
    EnableItem(IDC_NEXT_RADIO, true);
    if (designerMode_) {
        EnableItem(IDC_SPECIAL_SETTINGS, true);
    }
    EnableSystemMenu(true);
    controlsLocked_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void UpdaterDialog::ShowJobStatus(const std::string& text) {
    ShowStatusLine(text);
}

// Shown at once: the window's thread may block in a serial read right after.
void UpdaterDialog::ShowStatusLine(const std::string& text) {
    statusText_ = text;
    const HWND line = GetDlgItem(window_, IDC_STATUS_LINE);
    const std::wstring wide = Wide(text);
    SetWindowTextW(line, wide.c_str());
    tips_.SetText(line, wide);
    UpdateWindow(line);
}

void UpdaterDialog::UpdateWriteButton() {
    EnableItem(IDC_WRITE, WriteAllowed(controlsLocked_, image_.valid, entries_.size()));
}

}  // namespace qv
