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

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const MessageBox& box) {
    auto shown = std::make_unique<ProgramMessageBox>(
        ToQtIcon(box.icon), QString::fromStdString(box.caption), QString::fromStdString(box.text),
        QMessageBox::Ok, owner);
    shown->setTextFormat(Qt::PlainText);
    if (box.buttons == BoxButtons::OkCancel) {
        shown->addButton(QMessageBox::Cancel);
        shown->setEscapeButton(QMessageBox::Cancel);
    }
    shown->setDefaultButton(QMessageBox::Ok);
    return shown;
}

BoxAnswer QtPrompts::ShowBox(QWidget* owner, const MessageBox& box) {
    const std::unique_ptr<QMessageBox> shown = MakeMessageBox(owner, box);
    return shown->exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
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
