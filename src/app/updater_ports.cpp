// The main window's port list: the probe at start-up, the list following the cables while the
// window is idle, and the choice of a port. What the list holds comes from PortList; this file
// only puts it into the combo box.

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>

#include "app/input_discard.h"
#include "app/updater_dialog.h"
#include "ui_updater_dialog.h"

namespace qv {

namespace {

// True when the list already shows these entries, in this order.
bool ListShows(const QComboBox* list, const std::vector<PortEntry>& entries) {
    if (list->count() != static_cast<int>(entries.size())) {
        return false;
    }
    for (int i = 0; i < list->count(); ++i) {
        const PortEntry& entry = entries[static_cast<std::size_t>(i)];
        if (list->itemData(i).toString().toStdString() != entry.device ||
            list->itemText(i).toStdString() != entry.text) {
            return false;
        }
    }
    return true;
}

}  // namespace

void UpdaterDialog::ScanPorts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RefreshPorts(RefreshCause::Startup);
    DiscardPendingInput();
    QApplication::restoreOverrideCursor();
}

void UpdaterDialog::RefreshPorts(RefreshCause cause) {
    const RefreshPlan plan =
        PlanRefresh(cause, controlsLocked_, ui_->portList->view()->isVisible());
    if (!plan.refresh) {
        return;
    }
    const std::string selected = ui_->portList->currentData().toString().toStdString();
    ShowPorts(ports_.Refresh(selected, jobLog_.RememberedPort(), plan.retryUnopened));
}

void UpdaterDialog::ShowPorts(const PortListView& view) {
    QComboBox* list = ui_->portList;
    if (!ListShows(list, view.entries) ||
        list->currentIndex() != (view.selected ? static_cast<int>(*view.selected) : -1)) {
        // The entries keep the devices they were listed with: a port's number would name
        // another device once one is plugged in or out.
        const QSignalBlocker quiet(list);
        list->clear();
        for (const PortEntry& entry : view.entries) {
            const QString text = QString::fromStdString(entry.text);
            list->addItem(text, QString::fromStdString(entry.device));
            list->setItemData(list->count() - 1, text, Qt::ToolTipRole);
        }
        list->setCurrentIndex(view.selected ? static_cast<int>(*view.selected) : -1);
        OnPortSelected();
    }
    list->setEnabled(!view.entries.empty());

    // The reason and its fix together, on as many lines as they take: a fix cut in the
    // middle of a status line helps nobody.
    if (view.noPort) {
        list->setPlaceholderText(QString::fromStdString(view.noPort->summary));
        ui_->noPortPanel->setText(QString::fromStdString(view.noPort->detail));
    }
    ui_->noPortPanel->setVisible(view.noPort.has_value());
    UpdateWriteButton();
}

void UpdaterDialog::OnPortSelected() {
    const QVariant device = ui_->portList->currentData();
    if (device.isValid()) {
        link_.SetDevicePath(device.toString().toStdString());
    }
    ui_->portList->setToolTip(ui_->portList->currentText());
}

}  // namespace qv
