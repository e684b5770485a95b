#include "winapp/settings_dialog.h"

#include "frontend/window_boxes.h"
#include "frontend/window_rules.h"
#include "winapp/resource_ids.h"
#include "winapp/wide_text.h"

namespace qv {

namespace {

// The speed buttons and the baudIndex each one stands for.
struct SpeedButton {
    int id;
    int baudIndex;
};
constexpr SpeedButton kSpeedButtons[] = {{IDC_BAUD_19200, kBaudIndex19200},
                                         {IDC_BAUD_38400, kBaudIndex38400},
                                         {IDC_BAUD_57600, kBaudIndex57600},
                                         {IDC_BAUD_115200, kBaudIndex115200}};

void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

SpecialSettingsDialog::SpecialSettingsDialog(const UpdaterSettings& settings, Prompts& prompts)
    : prompts_(prompts), settings_(settings) {}

INT_PTR SpecialSettingsDialog::Run(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SPECIAL_SETTINGS), owner,
                           &DialogProc, reinterpret_cast<LPARAM>(this));
}

void SpecialSettingsDialog::OnInitDialog() {
    // The file name field starts empty at every opening, even when a path is kept.
    ShowMotFileControls();
    Check(dialog_, IDC_USE_MOT_FILE, settings_.useMotFile != 0);
    SetDlgItemTextW(dialog_, IDC_MOT_FILE_NAME, L"");
    Check(dialog_, IDC_UNENCRYPTED, settings_.unencrypted == 1);
    const int shown = ShownBaudIndex(settings_.baudIndex);
    for (const SpeedButton& button : kSpeedButtons) {
        Check(dialog_, button.id, button.baudIndex == shown);
    }
    Check(dialog_, IDC_STOP_BIT_2, settings_.stopBits == 2);
    Check(dialog_, IDC_STOP_BIT_1, settings_.stopBits != 2);
    FillList(IDC_MAX_BUFFER, kMaxBufferChoices, settings_.maxBuffer);
    FillList(IDC_ROUNDS, kRoundsChoices, settings_.roundsPerWrite);
}

// The lists are sorted by text: each entry's data and the selection go to the place the list
// gave it. Nothing is selected when the setting matches no entry.
void SpecialSettingsDialog::FillList(int id, std::span<const int> values, int selected) {
    const HWND list = GetDlgItem(dialog_, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const int value : values) {
        const std::wstring text = std::to_wstring(value);
        const LRESULT at =
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at < 0) {
            continue;
        }
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), value);
        if (value == selected) {
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        }
    }
}

int SpecialSettingsDialog::SelectedItem(int id) const {
    const HWND list = GetDlgItem(dialog_, id);
    const LRESULT at = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? 0 : static_cast<int>(SendMessageW(list, CB_GETITEMDATA, at, 0));
}

void SpecialSettingsDialog::ShowMotFileControls() {
    const BOOL motFile = settings_.useMotFile != 0 ? TRUE : FALSE;
    EnableWindow(GetDlgItem(dialog_, IDC_MOT_FILE_NAME), motFile);
    EnableWindow(GetDlgItem(dialog_, IDC_REFER), motFile);
}

bool SpecialSettingsDialog::OnCommand(int id, int code) {
    for (const SpeedButton& button : kSpeedButtons) {
        if (id == button.id && code == BN_CLICKED) {
            settings_.baudIndex = button.baudIndex;
            return true;
        }
    }
    switch (id) {
        case IDC_STOP_BIT_1:
        case IDC_STOP_BIT_2:
            if (code == BN_CLICKED) {
                settings_.stopBits = id == IDC_STOP_BIT_1 ? 1 : 2;
            }
            return true;
        case IDC_UNENCRYPTED:
            if (code == BN_CLICKED) {
                settings_.unencrypted = settings_.unencrypted == 0 ? 1 : 0;
            }
            return true;
        case IDC_USE_MOT_FILE:
            if (code == BN_CLICKED) {
                OnUseMotFileClicked();
            }
            return true;
        case IDC_REFER:
            if (code == BN_CLICKED) {
                OnReferClicked();
            }
            return true;
        // Only a choice from a list changes a setting; text typed into its field does not.
        case IDC_MAX_BUFFER:
        case IDC_ROUNDS:
            if (code == CBN_SELCHANGE) {
                (id == IDC_MAX_BUFFER ? settings_.maxBuffer : settings_.roundsPerWrite) =
                    SelectedItem(id);
            }
            return true;
        case IDOK:
            OnOk();
            return true;
        case IDCANCEL:
            EndDialog(dialog_, IDCANCEL);
            return true;
        default:
            return false;
    }
}

// The path is kept either way; only the field and "Refer" follow the box.
void SpecialSettingsDialog::OnUseMotFileClicked() {
    settings_.useMotFile = settings_.useMotFile == 0 ? 1 : 0;
    ShowMotFileControls();
}

// The file is neither opened nor looked at here: the main window loads it after OK.
void SpecialSettingsDialog::OnReferClicked() {
    const std::optional<std::string> path = prompts_.ChooseFileToOpen(dialog_, kMotFileFilter);
    if (!path) {
        return;
    }
    settings_.motFilePath = *path;
    SetDlgItemTextW(dialog_, IDC_MOT_FILE_NAME, Wide(*path).c_str());
}

// The field is what counts, not the kept path: with the box ticked, each opening needs "Refer".
void SpecialSettingsDialog::OnOk() {
    if (settings_.useMotFile == 1 &&
        GetWindowTextLengthW(GetDlgItem(dialog_, IDC_MOT_FILE_NAME)) == 0) {
        prompts_.ShowBox(dialog_, MustInputFileNameBox());
        return;
    }
    EndDialog(dialog_, IDOK);
}

INT_PTR CALLBACK SpecialSettingsDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<SpecialSettingsDialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->dialog_ = dialog;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<SpecialSettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self != nullptr && message == WM_COMMAND) {
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
    return FALSE;
}

}  // namespace qv
