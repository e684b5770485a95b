#pragma once
// The About box: the product's name, its build label and a one-line notice.

#include <QtWidgets/QDialog>
#include <memory>

#include "frontend/window_texts.h"

namespace Ui {
class AboutDialog;
}

namespace qv {

class AboutDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

  private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace qv
