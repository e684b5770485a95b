// The main window's port list: the probe at start-up and the choice of a port.

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>

#include "app/updater_dialog.h"
#include "serial/port_table.h"
#include "ui_updater_dialog.h"

namespace qv {

namespace {

// Eats keyboard and mouse input while installed on the application.
class InputDiscarder final : public QObject {
  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
                return true;
            default:
                return false;
        }
    }
};

// Clicks and key presses made while the probe blocked the window are dropped, not replayed.
void DiscardPendingInput() {
    InputDiscarder discarder;
    qApp->installEventFilter(&discarder);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&discarder);
}

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
        link_.SetPortNumber(port.number);
        if (link_.SetOpen(true) && link_.IsRs232()) {
            ui_->portList->addItem(PortEntryText(port), port.number);
            if (!found) {
                ui_->portList->setCurrentIndex(ui_->portList->count() - 1);
                found = true;
            }
        }
    }
    if (found) {
        OnPortSelected();
    } else {
        ui_->portList->setEnabled(false);
    }
    DiscardPendingInput();
    QApplication::restoreOverrideCursor();
}

void UpdaterDialog::OnPortSelected() {
    const QVariant number = ui_->portList->currentData();
    if (number.isValid()) {
        link_.SetPortNumber(number.toInt());
    }
}

}  // namespace qv
