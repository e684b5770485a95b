#pragma once
// What the Qt window asks the user through its toolkit: the modal message boxes and the
// file-open dialog. The window asks through this interface, so a test can answer from a script.

#include <QtCore/QString>
#include <memory>
#include <optional>

#include "frontend/message_box.h"

class QMessageBox;
class QWidget;

namespace qv {

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual BoxAnswer ShowBox(QWidget* owner, const MessageBox& box) = 0;
    // The full path of the chosen file, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) = 0;
};

// The box the program shows for a message: text, caption, buttons and icon as given, OK the
// default button and, with Cancel, Escape giving Cancel.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const MessageBox& box);

// The real thing: QMessageBox and QFileDialog.
class QtPrompts final : public Prompts {
  public:
    BoxAnswer ShowBox(QWidget* owner, const MessageBox& box) override;
    std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) override;
};

}  // namespace qv
