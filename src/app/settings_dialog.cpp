#include "app/settings_dialog.h"

#include <QtWidgets/QComboBox>

#include "app/dialog_units.h"
#include "frontend/window_boxes.h"
#include "frontend/window_rules.h"
#include "ui_settings_dialog.h"

namespace qv {

namespace {

constexpr int kWidthUnits = 252;
constexpr int kHeightUnits = 293;

}  // namespace

SpecialSettingsDialog::SpecialSettingsDialog(const UpdaterSettings& settings, Prompts& prompts,
                                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::SpecialSettingsDialog>()),
      prompts_(prompts),
      baudIndex_(settings.baudIndex),
      stopBits_(settings.stopBits),
      maxBuffer_(settings.maxBuffer),
      roundsPerWrite_(settings.roundsPerWrite),
      unencrypted_(settings.unencrypted),
      useMotFile_(settings.useMotFile),
      motFilePath_(settings.motFilePath) {
    ui_->setupUi(this);
    ApplyDialogUnits(this, kWidthUnits, kHeightUnits);
    InitDialog();
    ConnectHandlers();
}

SpecialSettingsDialog::~SpecialSettingsDialog() = default;

UpdaterSettings SpecialSettingsDialog::Settings() const {
    UpdaterSettings settings;
    settings.baudIndex = baudIndex_;
    settings.maxBuffer = maxBuffer_;
    settings.roundsPerWrite = roundsPerWrite_;
    settings.stopBits = stopBits_;
    settings.unencrypted = unencrypted_;
    settings.useMotFile = useMotFile_;
    settings.motFilePath = motFilePath_;
    return settings;
}

void SpecialSettingsDialog::InitDialog() {
    // The file name field starts empty at every opening, even when a path is kept.
    const bool motFile = useMotFile_ != 0;
    ui_->useMotFileCheck->setChecked(motFile);
    ui_->motFileEdit->setEnabled(motFile);
    ui_->referButton->setEnabled(motFile);
    ui_->motFileEdit->clear();

    ui_->unencryptedCheck->setChecked(unencrypted_ == 1);

    switch (ShownBaudIndex(baudIndex_)) {
        case kBaudIndex19200:
            ui_->baud19200Radio->setChecked(true);
            break;
        case kBaudIndex57600:
            ui_->baud57600Radio->setChecked(true);
            break;
        case kBaudIndex115200:
            ui_->baud115200Radio->setChecked(true);
            break;
        default:
            ui_->baud38400Radio->setChecked(true);
            break;
    }
    ui_->stopBit2Radio->setChecked(stopBits_ == 2);
    ui_->stopBit1Radio->setChecked(stopBits_ != 2);

    FillList(ui_->maxBufferList, kMaxBufferChoices, maxBuffer_);
    FillList(ui_->roundsList, kRoundsChoices, roundsPerWrite_);
}

// Entries are added in ascending order, which is also their order as text. Nothing is selected
// when the setting matches no entry.
void SpecialSettingsDialog::FillList(QComboBox* list, std::span<const int> values, int selected) {
    list->clear();
    for (const int value : values) {
        list->addItem(QString::number(value), value);
        if (value == selected) {
            list->setCurrentIndex(list->count() - 1);
        }
    }
    if (list->findData(selected) < 0) {
        list->setCurrentIndex(-1);
    }
}

void SpecialSettingsDialog::ConnectHandlers() {
    connect(ui_->baud57600Radio, &QAbstractButton::clicked, this,
            [this] { baudIndex_ = kBaudIndex57600; });
    connect(ui_->baud19200Radio, &QAbstractButton::clicked, this,
            [this] { baudIndex_ = kBaudIndex19200; });
    connect(ui_->baud38400Radio, &QAbstractButton::clicked, this,
            [this] { baudIndex_ = kBaudIndex38400; });
    connect(ui_->baud115200Radio, &QAbstractButton::clicked, this,
            [this] { baudIndex_ = kBaudIndex115200; });
    connect(ui_->stopBit1Radio, &QAbstractButton::clicked, this, [this] { stopBits_ = 1; });
    connect(ui_->stopBit2Radio, &QAbstractButton::clicked, this, [this] { stopBits_ = 2; });
    connect(ui_->unencryptedCheck, &QAbstractButton::clicked, this,
            [this] { unencrypted_ = unencrypted_ == 0 ? 1 : 0; });
    connect(ui_->useMotFileCheck, &QAbstractButton::clicked, this,
            &SpecialSettingsDialog::OnUseMotFileClicked);
    connect(ui_->referButton, &QAbstractButton::clicked, this,
            &SpecialSettingsDialog::OnReferClicked);
    // Only a choice from the list changes a setting; text typed into the field does not.
    connect(ui_->maxBufferList, &QComboBox::activated, this,
            [this](int index) { maxBuffer_ = ui_->maxBufferList->itemData(index).toInt(); });
    connect(ui_->roundsList, &QComboBox::activated, this,
            [this](int index) { roundsPerWrite_ = ui_->roundsList->itemData(index).toInt(); });
    connect(ui_->okButton, &QAbstractButton::clicked, this, &SpecialSettingsDialog::accept);
    connect(ui_->cancelButton, &QAbstractButton::clicked, this, &SpecialSettingsDialog::reject);
}

void SpecialSettingsDialog::OnUseMotFileClicked() {
    // The path is kept either way; only the field and "Refer" follow the box.
    useMotFile_ = useMotFile_ == 0 ? 1 : 0;
    const bool motFile = useMotFile_ != 0;
    ui_->motFileEdit->setEnabled(motFile);
    ui_->referButton->setEnabled(motFile);
}

void SpecialSettingsDialog::OnReferClicked() {
    const std::optional<QString> path =
        prompts_.ChooseFileToOpen(this, QString::fromLatin1(kMotFileFilter));
    if (!path) {
        return;
    }
    motFilePath_ = path->toStdString();
    ui_->motFileEdit->setText(*path);
}

void SpecialSettingsDialog::accept() {
    if (useMotFile_ == 1 && ui_->motFileEdit->text().isEmpty()) {
        prompts_.ShowBox(this, MustInputFileNameBox());
        return;
    }
    QDialog::accept();
}

}  // namespace qv
