#include "app/about_dialog.h"

#include "app/dialog_units.h"
#include "image/load_image.h"
#include "ui_about_dialog.h"
#include "workflow/job_messages.h"

namespace qv {

namespace {
constexpr int kWidthUnits = 235;
constexpr int kHeightUnits = 55;
}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::AboutDialog>()) {
    ui_->setupUi(this);
    ApplyDialogUnits(this, kWidthUnits, kHeightUnits);
    ui_->iconLabel->setPixmap(QPixmap(QStringLiteral(":/qv-updater/icon.png")));
    setWindowTitle(QString::fromStdString(FillTitleTemplate(kAboutBuildLabel)));
    ui_->productLabel->setText(QString::fromLatin1(kUpdaterCaption));
    ui_->noticeLabel->setText(QString::fromStdString(AboutNoticeText()));
}

AboutDialog::~AboutDialog() = default;

}  // namespace qv
