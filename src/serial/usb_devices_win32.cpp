// Present devices of every class through SetupAPI: a USB-serial adapter without its driver is
// no Ports-class device yet, it stands under "Other devices" with its hardware id.

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "serial/usb_devices.h"
#include "serial/windows_port_names.h"

namespace qv {
namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}

// A string property; for a list (the hardware ids) its first entry, the most specific one.
std::string Property(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    std::vector<wchar_t> buffer(1024, L'\0');
    const DWORD bytes = static_cast<DWORD>((buffer.size() - 2) * sizeof(wchar_t));
    if (SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                          reinterpret_cast<BYTE*>(buffer.data()), bytes,
                                          nullptr) == 0) {
        return {};
    }
    return Utf8(buffer.data());
}

unsigned ProblemCode(DEVINST instance) {
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, instance, 0) != CR_SUCCESS) {
        return kDeviceProblemNone;
    }
    return (status & DN_HAS_PROBLEM) != 0 ? static_cast<unsigned>(problem) : kDeviceProblemNone;
}

}  // namespace

std::vector<UsbDeviceRecord> ListUsbDevices() {
    std::vector<UsbDeviceRecord> records;
    const HDEVINFO devices =
        SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return records;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device) != 0; ++index) {
        UsbDeviceRecord record;
        record.hardwareId = Property(devices, device, SPDRP_HARDWAREID);
        if (!ParseUsbIdentity(record.hardwareId, "").vendorId) {
            continue;
        }
        record.description = Property(devices, device, SPDRP_FRIENDLYNAME);
        if (record.description.empty()) {
            record.description = Property(devices, device, SPDRP_DEVICEDESC);
        }
        record.problemCode = ProblemCode(device.DevInst);
        records.push_back(std::move(record));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return records;
}

}  // namespace qv
