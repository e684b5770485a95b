#include "app/prompts.h"

#include <QtGui/QScreen>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

namespace qv {

namespace {

// A box whose owner is not on screen yet (the designer box and the image error at start-up)
// goes to the middle of the screen: the toolkit would centre it over the owner's window, which
// has neither its place nor its size yet.
class ProgramMessageBox final : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // the box takes its size here, before it is mapped
        const QWidget* owner = parentWidget();
        if ((owner == nullptr || !owner->isVisible()) && screen() != nullptr) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen()->availableGeometry().center());
            move(frame.topLeft());
        }
    }
};

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

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const std::string& text,
                                            const std::string& caption, BoxButtons buttons,
                                            BoxIcon icon) {
    auto box =
        std::make_unique<ProgramMessageBox>(ToQtIcon(icon), QString::fromStdString(caption),
                                            QString::fromStdString(text), QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    if (buttons == BoxButtons::OkCancel) {
        box->addButton(QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
    }
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

BoxAnswer QtPrompts::ShowMessage(QWidget* owner, const std::string& text,
                                 const std::string& caption, BoxButtons buttons, BoxIcon icon) {
    const std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, text, caption, buttons, icon);
    return box->exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
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
