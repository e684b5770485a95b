#pragma once
// The designer mode's settings: speeds, stop bits, buffer size, rounds per write, encryption
// and the user's own Mot file. Works on a copy; the main window takes it back only on OK.

#include <QtWidgets/QDialog>
#include <memory>
#include <span>

#include "app/prompts.h"
#include "frontend/window_texts.h"
#include "workflow/updater_settings.h"

class QComboBox;

namespace Ui {
class SpecialSettingsDialog;
}

namespace qv {

// "MOT File(*.srec)|*.srec||" in the file dialog's own notation.
inline constexpr const char* kMotFileFilter = "MOT File(*.srec) (*.srec)";

class SpecialSettingsDialog final : public QDialog {
    Q_OBJECT

  public:
    SpecialSettingsDialog(const UpdaterSettings& settings, Prompts& prompts,
                          QWidget* parent = nullptr);
    ~SpecialSettingsDialog() override;

    // The seven members as the dialog holds them now.
    UpdaterSettings Settings() const;

    // OK: refuses to end while "Use my Mot file" is ticked and no file is named.
    void accept() override;

  private:
    void InitDialog();
    void ConnectHandlers();
    void OnUseMotFileClicked();
    void OnReferClicked();
    void FillList(QComboBox* list, std::span<const int> values, int selected);

    std::unique_ptr<Ui::SpecialSettingsDialog> ui_;
    Prompts& prompts_;
    int baudIndex_;
    int stopBits_;
    int maxBuffer_;
    int roundsPerWrite_;
    int unencrypted_;
    int useMotFile_;
    std::string motFilePath_;
};

}  // namespace qv
