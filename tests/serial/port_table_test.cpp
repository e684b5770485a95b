// The port table on POSIX: devices found, paths named, permissions.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "dialout_group.h"
#include "pty_pair.h"
#include "serial/port_table.h"
#include "serial/usb_sysfs.h"

namespace qv {
namespace {

using test::DialoutGroup;
using test::DialoutGroupName;

TEST(PortTable, NamedPathsFollowTheDevicesFound) {
    test::PtyPair first;
    test::PtyPair second;
    ASSERT_TRUE(first.ok() && second.ok());
    const std::string named =
        first.slavePath() + "::" + second.slavePath() + ":" + first.slavePath();
    ASSERT_EQ(setenv("QV_SERIAL_PORTS", named.c_str(), 1), 0);
    const auto ports = ListPorts();
    unsetenv("QV_SERIAL_PORTS");

    ASSERT_GE(ports.size(), 2u);
    const auto& last = ports[ports.size() - 1];
    const auto& beforeLast = ports[ports.size() - 2];
    EXPECT_EQ(beforeLast.device, first.slavePath());
    EXPECT_EQ(last.device, second.slavePath());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].number, static_cast<int>(i) + 1);
        EXPECT_FALSE(ports[i].permissionDenied) << ports[i].device;
    }
    EXPECT_FALSE(last.usbVendorId.has_value());
}

// A device this user may not open is listed with the group that may. Run in a child as an
// unprivileged user when the test runs as root, since root may open anything.
TEST(PortTable, DeviceWithoutPermissionNamesItsGroup) {
    const std::string device = "/tmp/qv_port_without_permission_" + std::to_string(getpid());
    std::ofstream(device) << "";
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    ASSERT_EQ(setenv("QV_SERIAL_PORTS", device.c_str(), 1), 0);
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(chown(device.c_str(), 0, DialoutGroup()), 0);
    } else {
        ASSERT_EQ(chmod(device.c_str(), 0), 0);
    }
    EXPECT_EXIT(
        {
            if (asRoot && (setgid(65534) != 0 || setuid(65534) != 0)) {
                std::_Exit(3);
            }
            const auto ports = ListPorts();
            const bool denied = !ports.empty() && ports.back().device == device &&
                                ports.back().permissionDenied &&
                                (asRoot ? ports.back().ownerGroup == DialoutGroupName()
                                        : !ports.back().ownerGroup.empty());
            std::_Exit(denied ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    unsetenv("QV_SERIAL_PORTS");
    std::remove(device.c_str());
}

// ftdi_sio keeps the chip's timer under /sys; the link asks for low latency at every open.
TEST(PortTable, UsbLatencyTimerFromSysfs) {
    namespace fs = std::filesystem;
    const fs::path root = testing::TempDir() + "qv_sysfs_" + std::to_string(getpid());
    struct Case {
        const char* name;
        const char* content;  // nullptr: no such file
        std::optional<int> ms;
    };
    const Case cases[] = {
        {"ttyUSB0", "16\n", 16},
        {"ttyUSB1", "1\n", 1},
        {"ttyUSB2", "sixteen\n", std::nullopt},
        {"ttyUSB3", "", std::nullopt},
        {"ttyUSB4", "300\n", std::nullopt},
        {"ttyACM0", nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = root / "bus/usb-serial/devices" / c.name;
        if (c.content != nullptr) {
            fs::create_directories(dir);
            std::ofstream(dir / "latency_timer") << c.content;
        }
        const auto timer = UsbLatencyTimer(std::string("/dev/") + c.name, root);
        ASSERT_EQ(timer.has_value(), c.ms.has_value());
        if (timer) {
            EXPECT_EQ(timer->value.count(), *c.ms);
            EXPECT_TRUE(timer->loweredAtOpen);
            EXPECT_EQ(timer->file, (dir / "latency_timer").string());
        }
    }
    fs::remove_all(root);
}

// The port list names an adapter by its maker and product, the maker once.
TEST(PortTable, UsbDescription) {
    struct Case {
        const char* maker;
        const char* product;
        const char* description;
    };
    const Case cases[] = {
        {"FTDI", "FT232R USB UART", "FTDI FT232R USB UART"},
        {"QEMU", "QEMU USB SERIAL", "QEMU USB SERIAL"},
        {"Prolific", "Prolific", "Prolific"},
        {"Silicon Labs", "Silicon", "Silicon Labs Silicon"},
        {"FTDI", "FTDIUSB", "FTDI FTDIUSB"},
        {"", "CP2102 USB to UART Bridge Controller", "CP2102 USB to UART Bridge Controller"},
        {"wch.cn", "", "wch.cn"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsbDescription(c.maker, c.product), c.description) << c.maker << "/" << c.product;
    }
}

}  // namespace
}  // namespace qv
