#include "app/prompts.h"

#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

namespace qv {

namespace {

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Question:
            return QMessageBox::Question;
        case BoxIcon::Exclamation:
            return QMessageBox::Warning;
        case BoxIcon::Stop:
            return QMessageBox::Critical;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

BoxAnswer QtPrompts::ShowMessage(QWidget* owner, const std::string& text,
                                 const std::string& caption, BoxButtons buttons, BoxIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, owner);
    if (buttons == BoxButtons::OkCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

std::optional<QString> QtPrompts::ChooseFileToOpen(QWidget* owner, const QString& filter) {
    // No initial name and no default extension: the user picks the file.
    const QString path = QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace qv
