// The main window's port list as the combo box shows it: the entries, the one selected, and the
// no-port panel. What the list holds comes from the presenter.

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

void UpdaterDialog::ShowPorts(const PortListView& view) {
    QComboBox* list = ui_->portList;
    const int selected = view.selected ? static_cast<int>(*view.selected) : -1;
    if (!ListShows(list, view.entries) || list->currentIndex() != selected) {
        // The entries keep the devices they were listed with: a port's number would name
        // another device once one is plugged in or out.
        const QSignalBlocker quiet(list);
        list->clear();
        for (const PortEntry& entry : view.entries) {
            const QString text = QString::fromStdString(entry.text);
            list->addItem(text, QString::fromStdString(entry.device));
            list->setItemData(list->count() - 1, text, Qt::ToolTipRole);
        }
        list->setCurrentIndex(selected);
        list->setToolTip(list->currentText());
    }

    // The reason and its fix together, on as many lines as they take: a fix cut in the
    // middle of a status line helps nobody.
    if (view.noPort) {
        list->setPlaceholderText(QString::fromStdString(view.noPort->summary));
        ui_->noPortPanel->setText(QString::fromStdString(view.noPort->detail));
    }
    ui_->noPortPanel->setVisible(view.noPort.has_value());
}

}  // namespace qv
