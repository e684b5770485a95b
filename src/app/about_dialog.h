#pragma once
// The About box: the product's name, its build label and a one-line notice.

#include <QtWidgets/QDialog>
#include <memory>

namespace Ui {
class AboutDialog;
}

namespace qv {

inline constexpr const char* kAboutBuildLabel = "R731-2T";
inline constexpr const char* kAboutNotice = "Copyright (C) 2026 qv-updater";

class AboutDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

  private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace qv
