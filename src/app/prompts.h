#pragma once
// Every question the application puts to the user: the modal message boxes and the file-open
// dialog. The windows ask through this interface, so a test can answer them from a script.

#include <QtCore/QString>
#include <memory>
#include <optional>
#include <string>

#include "workflow/job_host.h"

class QMessageBox;
class QWidget;

namespace qv {

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual BoxAnswer ShowMessage(QWidget* owner, const std::string& text,
                                  const std::string& caption, BoxButtons buttons, BoxIcon icon) = 0;
    // The full path of the chosen file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) = 0;
};

// The box the program shows for a message: text, caption, buttons and icon as given, OK the
// default button and, with Cancel, Escape giving Cancel.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const std::string& text,
                                            const std::string& caption, BoxButtons buttons,
                                            BoxIcon icon);

// The real thing: QMessageBox and QFileDialog.
class QtPrompts final : public Prompts {
  public:
    BoxAnswer ShowMessage(QWidget* owner, const std::string& text, const std::string& caption,
                          BoxButtons buttons, BoxIcon icon) override;
    std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) override;
};

}  // namespace qv
