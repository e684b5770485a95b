#include "app/updater_dialog.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QIcon>
#include <QtGui/QKeyEvent>

#include "app/about_dialog.h"
#include "app/banner_window.h"
#include "app/dialog_units.h"
#include "app/input_discard.h"
#include "app/settings_dialog.h"
#include "ui_updater_dialog.h"
#include "workflow/job_messages.h"
#include "workflow/write_job.h"

namespace qv {

namespace {
constexpr int kWidthUnits = 322;
constexpr int kHeightUnits = 113;
}  // namespace

UpdaterDialog::UpdaterDialog(RadioLink& link, const QStringList& arguments, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::UpdaterDialog>()),
      link_(link),
      arguments_(arguments),
      prompts_(prompts) {
    ui_->setupUi(this);
    host_ = std::make_unique<QtJobHost>(this, ui_->progressBar, *this, prompts);
    ApplyDialogUnits(this, kWidthUnits, kHeightUnits);
    setWindowIcon(QIcon(QStringLiteral(":/qv-updater/icon.png")));

    connect(ui_->writeButton, &QPushButton::clicked, this, &UpdaterDialog::OnWrite);
    connect(ui_->exitButton, &QPushButton::clicked, this, &UpdaterDialog::OnExit);
    connect(ui_->specialSettingsButton, &QPushButton::clicked, this,
            &UpdaterDialog::OnSpecialSettings);
    connect(ui_->portList, &QComboBox::activated, this, &UpdaterDialog::OnPortSelected);
}

UpdaterDialog::~UpdaterDialog() = default;

void UpdaterDialog::setVisible(bool visible) {
    if (visible && !initialised_) {
        initialised_ = true;
        OnInitWindow();
    }
    QDialog::setVisible(visible);
}

void UpdaterDialog::OnInitWindow() {
    ui_->writeButton->setEnabled(false);
    ui_->exitButton->setEnabled(false);
    settings_ = UpdaterSettings{};
    ReadCommandLine();
    const bool valid = LoadFirmwareImage(std::string(), 0);
    SetTitle();

    {
        // Clicks and key presses while the banner shows and the ports are probed are dropped.
        const ScopedInputDiscard discard;
        EnableBanner(1);
        SetBannerTexts(BannerTexts{windowTitle(), QString::fromLatin1(kCheckingPortsText)});
        ShowBanner(this);
        ScanPorts();
    }
    CloseBanner();

    ui_->specialSettingsButton->setVisible(designerMode_);
    ui_->writeButton->setEnabled(valid);
    ui_->exitButton->setEnabled(true);
}

void UpdaterDialog::ReadCommandLine() {
    designerMode_ = false;
    for (const QString& argument : arguments_) {
        if (argument.compare(QLatin1String(kDesignerWord), Qt::CaseInsensitive) == 0) {
            designerMode_ = true;
            prompts_.ShowMessage(this, kDesignerMessage, kUpdaterCaption, BoxButtons::Ok,
                                 BoxIcon::Information);
        }
    }
}

bool UpdaterDialog::LoadFirmwareImage(const std::string& path, int useMotFile) {
    image_ = LoadAndCheckImage(settings_.maxBuffer, path, useMotFile);
    if (!image_.valid) {
        prompts_.ShowMessage(this, kImageNotValidMessage, kErrorCaption, BoxButtons::Ok,
                             BoxIcon::None);
        link_.SetOpen(false);
    }
    return image_.valid;
}

void UpdaterDialog::SetTitle() {
    setWindowTitle(QString::fromStdString(BuildWindowTitle(image_)));
}

void UpdaterDialog::OnWrite() {
    WriteJobInput input;
    input.region1Blocks = &image_.region1Blocks;
    input.versionLabel = image_.versionLabel;
    input.settings = settings_;
    RunWriteJob(link_, *host_, input);
}

void UpdaterDialog::OnSpecialSettings() {
    SpecialSettingsDialog dialog(settings_, prompts_, this);
    const int previousMaxBuffer = settings_.maxBuffer;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    settings_ = dialog.Settings();
    if (settings_.useMotFile == 0 && settings_.maxBuffer == previousMaxBuffer) {
        return;  // switching the Mot file off alone keeps the loaded image
    }
    ui_->writeButton->setEnabled(false);
    ui_->exitButton->setEnabled(false);
    const bool valid = LoadFirmwareImage(settings_.motFilePath, settings_.useMotFile);
    SetTitle();
    ui_->writeButton->setEnabled(valid);
    ui_->exitButton->setEnabled(true);
}

void UpdaterDialog::reject() {
    if (controlsLocked_) {
        return;  // no way out while a job runs
    }
    OnExit();
}

void UpdaterDialog::OnExit() {
    if (controlsLocked_) {
        return;
    }
    const BoxAnswer answer = prompts_.ShowMessage(this, kExitQuestion, kExitCaption,
                                                  BoxButtons::OkCancel, BoxIcon::Question);
    if (answer == BoxAnswer::Ok) {
        QDialog::reject();
    }
}

void UpdaterDialog::closeEvent(QCloseEvent* event) {
    if (controlsLocked_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);  // turns into the Cancel command, so OnExit asks
}

void UpdaterDialog::keyPressEvent(QKeyEvent* event) {
    // The window adds nothing to a system menu, so F1 is the way to the About box. Not during
    // a job: the job would stand still between its steps, the radio waiting, while it shows.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (!controlsLocked_) {
            OnSystemCommand(kAboutCommand);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void UpdaterDialog::OnSystemCommand(int command) {
    if ((command & ~0xF) == kAboutCommand) {
        AboutDialog about(this);
        about.exec();
    }
}

void UpdaterDialog::LockControls() {
    controlsLocked_ = true;
    ui_->writeButton->setEnabled(false);
    ui_->exitButton->setEnabled(false);
    ui_->portList->setEnabled(false);
    if (designerMode_) {
        ui_->specialSettingsButton->setEnabled(false);
    }
}

void UpdaterDialog::UnlockControls() {
    ui_->writeButton->setEnabled(true);
    ui_->exitButton->setEnabled(true);
    ui_->portList->setEnabled(true);
    if (designerMode_) {
        ui_->specialSettingsButton->setEnabled(true);
    }
    controlsLocked_ = false;
}

}  // namespace qv
