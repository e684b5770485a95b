// Ports class devices through SetupAPI: the port name and an FTDI chip's latency timer from
// each device's registry key, the names and ids from its properties.

#include <windows.h>
// Before devguid.h, so that the class GUIDs are defined here.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "serial/port_details_win32.h"
#include "serial/windows_port_names.h"

namespace qv {
namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// A text up to its first terminating zero: registry strings may or may not carry one.
std::wstring UpToZero(const std::vector<wchar_t>& buffer) {
    std::wstring text(buffer.begin(), buffer.end());
    return text.substr(0, text.find(L'\0'));
}

std::wstring DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    std::vector<wchar_t> buffer(512, L'\0');
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                          reinterpret_cast<BYTE*>(buffer.data()), bytes,
                                          nullptr) == 0) {
        return {};
    }
    return UpToZero(buffer);
}

std::wstring InstanceId(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    std::vector<wchar_t> buffer(512, L'\0');
    if (SetupDiGetDeviceInstanceIdW(devices, &device, buffer.data(),
                                    static_cast<DWORD>(buffer.size()), nullptr) == 0) {
        return {};
    }
    return UpToZero(buffer);
}

// What the device's own registry key (its "Device Parameters") holds of a port: the port name
// ("COM5") and, for FTDI's driver, the chip's latency timer in milliseconds.
struct DeviceKeyValues {
    std::wstring portName;
    std::optional<DWORD> latencyTimer;
};

std::wstring StringValue(HKEY key, const wchar_t* name) {
    std::vector<wchar_t> buffer(64, L'\0');
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    return result == ERROR_SUCCESS && type == REG_SZ ? UpToZero(buffer) : std::wstring{};
}

std::optional<DWORD> NumberValue(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    return result == ERROR_SUCCESS && type == REG_DWORD ? std::optional<DWORD>(value)
                                                        : std::nullopt;
}

DeviceKeyValues ReadDeviceKey(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    DeviceKeyValues values;
    const HKEY key =
        SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return values;
    }
    values.portName = StringValue(key, L"PortName");
    values.latencyTimer = NumberValue(key, L"LatencyTimer");
    RegCloseKey(key);
    return values;
}

// FTDI's driver keeps the chip's timer in its device key and applies it as the port opens;
// only an administrator or Device Manager changes it, so the job waits what is written here.
std::optional<LatencyTimer> FtdiLatencyTimer(const UsbIdentity& usb, const DeviceKeyValues& key) {
    // The chip's timer counts whole milliseconds in one byte.
    constexpr DWORD kLongestTimerMs = 255;
    if (!usb.ftdiDriver || !key.latencyTimer || *key.latencyTimer > kLongestTimerMs) {
        return std::nullopt;
    }
    return LatencyTimer{std::chrono::milliseconds(*key.latencyTimer), false, {}};
}

}  // namespace

std::map<int, PortInfo> DeviceManagerDetails() {
    std::map<int, PortInfo> details;
    const HDEVINFO devices =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return details;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device) != 0; ++index) {
        const DeviceKeyValues key = ReadDeviceKey(devices, device);
        const auto number = ComPortNumber(Utf8(key.portName));
        if (!number) {
            continue;
        }
        PortInfo info;
        info.number = *number;
        info.description = Utf8(DeviceProperty(devices, device, SPDRP_FRIENDLYNAME));
        const UsbIdentity usb =
            ParseUsbIdentity(Utf8(DeviceProperty(devices, device, SPDRP_HARDWAREID)),
                             Utf8(InstanceId(devices, device)));
        info.usbVendorId = usb.vendorId;
        info.usbProductId = usb.productId;
        info.serialNumber = usb.serialNumber;
        info.latencyTimer = FtdiLatencyTimer(usb, key);
        details.emplace(*number, std::move(info));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return details;
}

std::optional<LatencyTimer> LatencyTimerOfPort(const std::string& deviceName) {
    const auto number = ComPortNumber(StablePortName(deviceName));
    if (!number) {
        return std::nullopt;
    }
    const auto details = DeviceManagerDetails();
    const auto known = details.find(*number);
    return known != details.end() ? known->second.latencyTimer : std::nullopt;
}

}  // namespace qv
