// Windows tells every top-level window when a device arrives or leaves: the port list follows
// at once instead of at the next poll.

#include <windows.h>

#include <dbt.h>

#include <QtCore/QTimer>

#include "app/updater_dialog.h"

namespace qv {

bool UpdaterDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const auto* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_DEVICECHANGE &&
        (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE)) {
        QTimer::singleShot(kDeviceArrivalSettle, this,
                           [this] { presenter_->OnRefreshPorts(RefreshCause::DeviceChange); });
    }
    return QDialog::nativeEvent(eventType, message, result);
}

}  // namespace qv
