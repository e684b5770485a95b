#include "app/updater_dialog.h"

#include <QtGui/QIcon>
#include <QtGui/QKeyEvent>
#include <QtGui/QShortcut>
#include <QtWidgets/QAbstractItemView>

#include "app/about_dialog.h"
#include "app/banner_window.h"
#include "app/dialog_units.h"
#include "app/input_discard.h"
#include "app/settings_dialog.h"
#include "frontend/exit_rule.h"
#include "frontend/window_rules.h"
#include "image/package/package_resource.h"
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
      prompts_(prompts),
      jobLog_(userSettings_, ServiceLogPath()) {
    ui_->setupUi(this);
    host_ = std::make_unique<QtJobHost>(this, ui_->progressBar, *this, prompts);
    ApplyDialogUnits(this, kWidthUnits, kHeightUnits);
    setWindowIcon(QIcon(QStringLiteral(":/qv-updater/icon.png")));

    connect(ui_->writeButton, &QPushButton::clicked, this, &UpdaterDialog::OnWrite);
    connect(ui_->exitButton, &QPushButton::clicked, this, &UpdaterDialog::OnExit);
    connect(ui_->specialSettingsButton, &QPushButton::clicked, this,
            &UpdaterDialog::OnSpecialSettings);
    connect(ui_->portList, &QComboBox::activated, this, &UpdaterDialog::OnPortSelected);
    connect(ui_->portList, &PortComboBox::aboutToShowPopup, this,
            [this] { RefreshPorts(RefreshCause::ListDropDown); });
    ui_->nextRadioCheck->setChecked(StoredNextRadioChoice(userSettings_));
    connect(ui_->nextRadioCheck, &QCheckBox::toggled, this, [this](bool automatic) {
        StoreNextRadioChoice(userSettings_, automatic);
        if (!automatic && waitingForRadio_) {
            StopWaiting();  // unticked while waiting: no next radio
        }
    });
    portPoll_.setInterval(kPortPollInterval);
    connect(&portPoll_, &QTimer::timeout, this, [this] { RefreshPorts(RefreshCause::Poll); });
    // "Com Port:" keeps its text; Alt+C reaches its list all the same.
    auto* focusPortList = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), this);
    connect(focusPortList, &QShortcut::activated, this,
            [this] { ui_->portList->setFocus(Qt::ShortcutFocusReason); });
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
    LoadFirmwareImage(std::string(), 0);
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
    UpdateWriteButton();
    ui_->exitButton->setEnabled(true);
    portPoll_.start();
}

void UpdaterDialog::ReadCommandLine() {
    designerMode_ = false;
    for (const QString& argument : arguments_) {
        if (IsDesignerWord(argument.toStdString())) {
            designerMode_ = true;
            prompts_.ShowMessage(this, kDesignerMessage, kUpdaterCaption, BoxButtons::Ok,
                                 BoxIcon::Information);
        }
    }
}

bool UpdaterDialog::LoadFirmwareImage(const std::string& path, int useMotFile) {
    image_ = LoadAndCheckImage(settings_.maxBuffer, path, useMotFile, CarriedPackage());
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

WriteJobInput UpdaterDialog::JobInput() const {
    return JobInputFor(image_, settings_);
}

void UpdaterDialog::OnWrite() {
    const WriteJobOutcome outcome = RunWriteJob(link_, *host_, JobInput());
    RecordJob(outcome);
    if (StartsNextRadioLoop(outcome, ui_->nextRadioCheck->isChecked())) {
        UpdateNextRadios();
    }
    RefreshPorts(RefreshCause::JobEnded);
}

void UpdaterDialog::RecordJob(const WriteJobOutcome& outcome) {
    if (!jobLog_.Record(link_.DeviceName(), outcome)) {
        ShowJobStatus(
            QString::fromStdString(jobLog_.WithLogFailure(ui_->statusLine->text().toStdString())));
    }
}

void UpdaterDialog::OnSpecialSettings() {
    SpecialSettingsDialog dialog(settings_, prompts_, this);
    const UpdaterSettings before = settings_;
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    settings_ = dialog.Settings();
    if (!SettingsCallForReload(before, settings_)) {
        return;
    }
    ui_->writeButton->setEnabled(false);
    ui_->exitButton->setEnabled(false);
    LoadFirmwareImage(settings_.motFilePath, settings_.useMotFile);
    SetTitle();
    UpdateWriteButton();
    ui_->exitButton->setEnabled(true);
}

void UpdaterDialog::reject() {
    OnExit();
}

void UpdaterDialog::OnExit() {
    switch (WhatExitDoes(controlsLocked_, waitingForRadio_)) {
        case ExitRequest::StopWaiting:
            StopWaiting();
            return;
        case ExitRequest::Refused:
            return;
        case ExitRequest::Confirm:
            break;
    }
    const BoxAnswer answer = prompts_.ShowMessage(this, kExitQuestion, kExitCaption,
                                                  BoxButtons::OkCancel, BoxIcon::Question);
    if (answer == BoxAnswer::Ok) {
        QDialog::reject();
    }
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
    setCursor(Qt::WaitCursor);
    ui_->writeButton->setEnabled(false);
    ui_->exitButton->setEnabled(false);
    ui_->portList->setEnabled(false);
    ui_->nextRadioCheck->setEnabled(false);
    if (designerMode_) {
        ui_->specialSettingsButton->setEnabled(false);
    }
}

void UpdaterDialog::UnlockControls() {
    ui_->writeButton->setEnabled(true);
    ui_->exitButton->setEnabled(true);
    ui_->portList->setEnabled(true);
    ui_->nextRadioCheck->setEnabled(true);
    if (designerMode_) {
        ui_->specialSettingsButton->setEnabled(true);
    }
    unsetCursor();
    controlsLocked_ = false;
}

void UpdaterDialog::ShowJobStatus(const QString& text) {
    ui_->statusLine->ShowText(text);
}

void UpdaterDialog::UpdateWriteButton() {
    ui_->writeButton->setEnabled(WriteAllowed(controlsLocked_, image_.valid,
                                              static_cast<std::size_t>(ui_->portList->count())));
}

}  // namespace qv
