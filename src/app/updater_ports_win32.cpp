// Windows tells every top-level window when a device arrives or leaves: the port list follows
// at once instead of at the next poll.

#include <windows.h>

#include <dbt.h>

#include <QtCore/QTimer>

#include "app/updater_dialog.h"

namespace qv {

namespace {
// The port's driver is not ready when the arrival is announced.
constexpr std::chrono::milliseconds kArrivalSettle{500};
}  // namespace

bool UpdaterDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const auto* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_DEVICECHANGE &&
        (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE)) {
        QTimer::singleShot(kArrivalSettle, this, [this] { RefreshPorts(); });
    }
    return QDialog::nativeEvent(eventType, message, result);
}

}  // namespace qv
