#include "app/updater_dialog.h"

#include <QtGui/QIcon>
#include <QtGui/QKeyEvent>
#include <QtGui/QShortcut>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>

#include "app/about_dialog.h"
#include "app/banner_window.h"
#include "app/dialog_units.h"
#include "app/input_discard.h"
#include "app/settings_dialog.h"
#include "frontend/window_texts.h"
#include "image/package/package_resource.h"
#include "ui_updater_dialog.h"

namespace qv {

namespace {
constexpr int kWidthUnits = 322;
constexpr int kHeightUnits = 113;

std::vector<std::string> Utf8Arguments(const QStringList& arguments) {
    std::vector<std::string> converted;
    for (const QString& argument : arguments) {
        converted.push_back(argument.toStdString());
    }
    return converted;
}
}  // namespace

UpdaterDialog::UpdaterDialog(RadioLink& link, const QStringList& arguments, Prompts& prompts,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::UpdaterDialog>()),
      prompts_(prompts),
      serviceLog_(ServiceLogPath()) {
    ui_->setupUi(this);
    presenter_ = std::make_unique<UpdaterPresenter>(
        PresenterParts{*this, link, userSettings_, serviceLog_, ports_, CarriedPackage()},
        Utf8Arguments(arguments));
    ApplyDialogUnits(this, kWidthUnits, kHeightUnits);
    setWindowIcon(QIcon(QStringLiteral(":/qv-updater/icon.png")));

    connect(ui_->writeButton, &QPushButton::clicked, this, [this] { presenter_->OnWrite(); });
    connect(ui_->exitButton, &QPushButton::clicked, this, [this] { presenter_->OnExit(); });
    connect(ui_->specialSettingsButton, &QPushButton::clicked, this,
            [this] { presenter_->OnSpecialSettings(); });
    connect(ui_->portList, &QComboBox::activated, this, &UpdaterDialog::OnPortSelected);
    connect(ui_->portList, &PortComboBox::aboutToShowPopup, this,
            [this] { presenter_->OnRefreshPorts(RefreshCause::ListDropDown); });
    connect(ui_->nextRadioCheck, &QCheckBox::toggled, this,
            [this](bool ticked) { presenter_->OnNextRadioTicked(ticked); });
    portPoll_.setInterval(kPortPollInterval);
    connect(&portPoll_, &QTimer::timeout, this, [this] {
        presenter_->OnRefreshPorts(RefreshCause::Poll, ui_->portList->view()->isVisible());
    });
    // "Com Port:" keeps its text; Alt+C reaches its list all the same.
    auto* focusPortList = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), this);
    connect(focusPortList, &QShortcut::activated, this,
            [this] { ui_->portList->setFocus(Qt::ShortcutFocusReason); });
}

UpdaterDialog::~UpdaterDialog() {
    presenter_.reset();  // a session still running ends while the widgets are there
}

void UpdaterDialog::setVisible(bool visible) {
    if (visible && !initialised_) {
        initialised_ = true;
        presenter_->OnInitWindow();
        portPoll_.start();
    }
    QDialog::setVisible(visible);
}

void UpdaterDialog::reject() {
    presenter_->OnExit();
}

void UpdaterDialog::EndWindow() {
    QDialog::reject();
}

void UpdaterDialog::keyPressEvent(QKeyEvent* event) {
    // The window adds nothing to a system menu, so F1 is the way to the About box.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        OnAbout();
        return;
    }
    QDialog::keyPressEvent(event);
}

void UpdaterDialog::OnAbout() {
    if (presenter_->MayOpenOtherWindows()) {
        AboutDialog about(this);
        about.exec();
    }
}

void UpdaterDialog::OnPortSelected() {
    const QVariant device = ui_->portList->currentData();
    if (device.isValid()) {
        presenter_->OnPortSelected(device.toString().toStdString());
    }
    ui_->portList->setToolTip(ui_->portList->currentText());
}

void UpdaterDialog::ShowTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void UpdaterDialog::ShowControls(const ControlState& controls) {
    ui_->writeButton->setEnabled(controls.write);
    ui_->exitButton->setEnabled(controls.exit);
    ui_->portList->setEnabled(controls.portList);
    ui_->nextRadioCheck->setEnabled(controls.nextRadio);
    ui_->specialSettingsButton->setEnabled(controls.specialSettings);
    ui_->specialSettingsButton->setVisible(controls.specialSettingsShown);
    switch (controls.pointer) {
        case Pointer::Normal:
            unsetCursor();
            break;
        case Pointer::Busy:
            setCursor(Qt::WaitCursor);
            break;
        case Pointer::WaitingForRadio:
            setCursor(Qt::BusyCursor);
            break;
    }
}

void UpdaterDialog::ShowNextRadioTicked(bool ticked) {
    const QSignalBlocker quiet(ui_->nextRadioCheck);
    ui_->nextRadioCheck->setChecked(ticked);
}

void UpdaterDialog::ShowProgress(int position, int high) {
    QProgressBar* bar = ui_->progressBar;
    bar->setRange(0, high);
    // Below the range the bar shows empty; above it, full.
    if (position < 0) {
        bar->reset();
    } else {
        bar->setValue(std::min(position, high));
    }
}

void UpdaterDialog::ShowStatus(const std::string& text) {
    ui_->statusLine->ShowText(QString::fromStdString(text));
}

BoxAnswer UpdaterDialog::ShowBox(const MessageBox& box) {
    return prompts_.ShowBox(this, box);
}

std::optional<UpdaterSettings> UpdaterDialog::EditSpecialSettings(const UpdaterSettings& settings) {
    SpecialSettingsDialog dialog(settings, prompts_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Settings();
}

// Clicks and key presses while the banner shows and the ports are probed are dropped.
void UpdaterDialog::ShowBanner(const std::string& title, const std::string& text) {
    bannerInputDiscard_ = std::make_unique<ScopedInputDiscard>();
    EnableBanner(1);
    SetBannerTexts(BannerTexts{QString::fromStdString(title), QString::fromStdString(text)});
    qv::ShowBanner(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void UpdaterDialog::CloseBanner() {
    DiscardPendingInput();
    QApplication::restoreOverrideCursor();
    bannerInputDiscard_.reset();
    qv::CloseBanner();
}

// From the session's thread: the presenter runs what the session queued once the window's
// loop gets to it.
void UpdaterDialog::WakeWindowThread(SessionWake wake) {
    QMetaObject::invokeMethod(
        this, [this, wake] { presenter_->OnSessionWake(wake); }, Qt::QueuedConnection);
}

}  // namespace qv
