// Port numbers and device names as texts: the same on every OS.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "serial/port_table.h"
#include "serial/windows_port_names.h"

namespace qv {
namespace {

TEST(PortTable, WindowsDeviceNames) {
    const std::pair<int, const char*> cases[] = {{1, "COM1"},
                                                 {9, "COM9"},
                                                 {10, "\\\\.\\COM10"},
                                                 {99, "\\\\.\\COM99"},
                                                 {256, "\\\\.\\COM256"}};
    for (const auto& [number, name] : cases) {
        EXPECT_EQ(WindowsDeviceName(number), name);
    }
}

TEST(PortTable, NaturalOrder) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"ttyS2", "ttyS10", true},   {"ttyS10", "ttyS2", false},    {"ttyS10", "ttyS10", false},
        {"ttyACM0", "ttyS0", true},  {"ttyS31", "ttyUSB0", true},   {"ttyUSB1", "ttyUSB01", false},
        {"ttyUSB", "ttyUSB0", true}, {"cu.usb9", "cu.usb10", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
    }
}

TEST(PortNames, ComPortNumbersFromTheRegistry) {
    struct Case {
        std::string name;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"COM1", 1},
        {"COM5", 5},
        {"com12", 12},
        {"COM256", 256},
        {std::string("COM7\0", 5), 7},
        {"COM0", std::nullopt},
        {"COM257", std::nullopt},
        {"COM05", std::nullopt},
        {"COM", std::nullopt},
        {"COM5a", std::nullopt},
        {"CNCA0", std::nullopt},
        {"\\\\.\\COM10", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
    }
}

TEST(PortNames, UsbIdsAndSerialNumbersFromDeviceIds) {
    struct Case {
        const char* hardwareId;
        const char* instanceId;
        std::optional<std::uint16_t> vendor;
        std::optional<std::uint16_t> product;
        const char* serial;
        bool ftdiDriver;  // its device key holds the chip's latency timer
    };
    const Case cases[] = {
        {"USB\\VID_0403&PID_6001&REV_0600", "USB\\VID_0403&PID_6001\\A600ABCD", 0x0403, 0x6001,
         "A600ABCD", false},
        {"FTDIBUS\\COMPORT&VID_0403&PID_6015", "FTDIBUS\\VID_0403+PID_6015+DK0AB1CDA\\0000", 0x0403,
         0x6015, "", true},
        {"ftdibus\\comport&vid_0403&pid_6001", "ftdibus\\vid_0403+pid_6001+a1\\0000", 0x0403,
         0x6001, "", true},
        {"USB\\VID_067B&PID_2303&REV_0300&MI_00", "USB\\VID_067B&PID_2303&MI_00\\6&2A1B3C&0&0000",
         0x067B, 0x2303, "", false},
        {"usb\\vid_1a86&pid_7523", "usb\\vid_1a86&pid_7523\\5&1f2e", 0x1A86, 0x7523, "", false},
        {"ACPI\\PNP0501", "ACPI\\PNP0501\\1", std::nullopt, std::nullopt, "", false},
        {"USB\\VID_04G3&PID_6001", "", std::nullopt, std::nullopt, "", false},
    };
    for (const auto& c : cases) {
        const UsbIdentity usb = ParseUsbIdentity(c.hardwareId, c.instanceId);
        EXPECT_EQ(usb.vendorId, c.vendor) << c.hardwareId;
        EXPECT_EQ(usb.productId, c.product) << c.hardwareId;
        EXPECT_EQ(usb.serialNumber, c.serial) << c.instanceId;
        EXPECT_EQ(usb.ftdiDriver, c.ftdiDriver) << c.instanceId;
    }
}

}  // namespace
}  // namespace qv
