#include "serial/usb_devices.h"

namespace qv {

std::vector<UsbDeviceRecord> ListUsbDevices() {
    return {};
}

}  // namespace qv
