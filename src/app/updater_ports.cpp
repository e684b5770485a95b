// The main window's port list: the probe at start-up, the list following the cables while the
// window is idle, and the choice of a port.

#include <QtWidgets/QApplication>

#include "app/app_storage.h"
#include "app/input_discard.h"
#include "app/updater_dialog.h"
#include "serial/port_table.h"
#include "ui_updater_dialog.h"
#include "workflow/port_text.h"

namespace qv {

namespace {

// The port's name in the list: the device path on POSIX, where port numbers mean nothing to
// the user; "n" on Windows.
QString EntryName(const PortInfo& port) {
#ifdef _WIN32
    return QString::number(port.number);
#else
    return QString::fromStdString(port.device);
#endif
}

QString EntryLabel(const PortInfo& port) {
    return QString::fromStdString(PortLabel(EntryName(port).toStdString(), port));
}

// True when the list already shows these ports, in this order, with these labels.
bool ListShows(const QComboBox* list, const std::vector<ListedPort>& listed) {
    if (list->count() != static_cast<int>(listed.size())) {
        return false;
    }
    for (int i = 0; i < list->count(); ++i) {
        const PortInfo& port = listed[static_cast<std::size_t>(i)].info;
        if (list->itemData(i).toString().toStdString() != port.device ||
            list->itemText(i) != EntryLabel(port)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void UpdaterDialog::ScanPorts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RefreshPorts();
    DiscardPendingInput();
    QApplication::restoreOverrideCursor();
}

void UpdaterDialog::RefreshPorts(bool retryUnopened) {
    if (controlsLocked_) {
        return;  // the job's port stays as it is, and so does the list
    }
    const std::vector<PortInfo> table = ListPorts();
    ShowPorts(portProbe_.Refresh(table, retryUnopened), table);
}

void UpdaterDialog::ShowPorts(const std::vector<ListedPort>& listed,
                              const std::vector<PortInfo>& table) {
    QComboBox* list = ui_->portList;
    if (!ListShows(list, listed)) {
        // The entries keep the devices they were listed with: a port's number would name
        // another device once one is plugged in or out.
        const QString selected = list->currentData().toString();
        const QSignalBlocker quiet(list);
        list->clear();
        for (const ListedPort& port : listed) {
            const QString label = EntryLabel(port.info);
            list->addItem(label, QString::fromStdString(port.info.device));
            list->setItemData(list->count() - 1, label, Qt::ToolTipRole);
        }
        int index = list->findData(selected);
        if (index < 0) {
            const auto first = FirstChoice(listed, StoredRadioPort().toStdString());
            index = first ? static_cast<int>(*first) : -1;
        }
        list->setCurrentIndex(index);
    }
    // The probe pointed the link at each device it opened: back to the chosen one.
    if (!listed.empty()) {
        OnPortSelected();
    }
    list->setToolTip(list->currentText());
    list->setEnabled(!listed.empty());

    if (listed.empty()) {
        const NoPortExplanation why = ExplainNoPort(table);
        list->setPlaceholderText(QString::fromStdString(why.summary));
        ui_->statusLine->ShowText(QString::fromStdString(why.detail));
        noPortShown_ = true;
    } else if (noPortShown_) {
        ui_->statusLine->ShowText(QString());
        noPortShown_ = false;
    }
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
