#pragma once
// The designer mode's settings (template 103): speeds, stop bits, buffer size, rounds per
// write, encryption and the user's own Mot file. Works on a copy; the main window takes it back
// only on OK.

#include "winapp/windows_header.h"

#include <span>
#include <string>

#include "winapp/prompts.h"
#include "workflow/updater_settings.h"

namespace qv {

class SpecialSettingsDialog {
  public:
    SpecialSettingsDialog(const UpdaterSettings& settings, Prompts& prompts);

    // Runs the dialog modally over owner: IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The seven members as the dialog holds them now.
    UpdaterSettings Settings() const { return settings_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    bool OnCommand(int id, int code);
    void OnUseMotFileClicked();
    void OnReferClicked();
    void OnOk();
    void FillList(int id, std::span<const int> values, int selected);
    int SelectedItem(int id) const;
    void ShowMotFileControls();

    HWND dialog_ = nullptr;
    Prompts& prompts_;
    UpdaterSettings settings_;
};

}  // namespace qv
