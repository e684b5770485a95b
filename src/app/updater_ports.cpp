// The main window's port list: the probe at start-up and the choice of a port.

#include <QtWidgets/QApplication>

#include "app/input_discard.h"
#include "app/updater_dialog.h"
#include "serial/port_table.h"
#include "ui_updater_dialog.h"

namespace qv {

namespace {

// The device path on POSIX, where port numbers mean nothing to the user; "n" on Windows.
QString PortEntryText(const PortInfo& port) {
#ifdef _WIN32
    return QString::number(port.number);
#else
    return QString::fromStdString(port.device);
#endif
}

}  // namespace

void UpdaterDialog::ScanPorts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool found = false;
    for (const PortInfo& port : ListPorts()) {
        link_.SetDevicePath(port.device);
        if (link_.SetOpen(true) && link_.IsRs232()) {
            // The entry keeps the device it was listed with: its number would name another
            // device once one is plugged in or out.
            ui_->portList->addItem(PortEntryText(port), QString::fromStdString(port.device));
            if (!found) {
                ui_->portList->setCurrentIndex(ui_->portList->count() - 1);
                found = true;
            }
        }
    }
    // The probe opened the ports only to look at them. Holding the last one (an unlisted
    // device, too) would keep it from every other program while the window waits; the job
    // opens its port itself.
    link_.SetOpen(false);
    if (found) {
        OnPortSelected();
    } else {
        ui_->portList->setEnabled(false);
    }
    DiscardPendingInput();
    QApplication::restoreOverrideCursor();
}

void UpdaterDialog::OnPortSelected() {
    const QVariant device = ui_->portList->currentData();
    if (device.isValid()) {
        link_.SetDevicePath(device.toString().toStdString());
    }
}

}  // namespace qv
