// Which terminals the window offers as ports: a serial-core node must have a UART behind it;
// USB-serial and CDC-ACM drivers report PORT_UNKNOWN by design and are ports all the same.

#include <linux/serial.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "serial/uart_type.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A /sys with the attributes a few drivers give their terminals: /dev/ttyS0 with a 16550A,
// /dev/ttyS1 with no UART fitted, /dev/ttyUSB0 and /dev/ttyACM0 without a "type".
class FakeSys {
  public:
    FakeSys() : root_(fs::path(testing::TempDir()) / ("qv_sys_" + std::to_string(getpid()))) {
        Add("ttyS0", 4, 64, "4");    // PORT_16550A
        Add("ttyS1", 4, 65, "0");    // PORT_UNKNOWN, nothing behind the node
        Add("ttyUSB0", 188, 0, "");  // usb-serial has no type attribute
        Add("ttyACM0", 166, 0, "");
        Add("ttyS9", 4, 73, "sixteen");  // a type that does not read
    }
    ~FakeSys() { fs::remove_all(root_); }
    const fs::path& Root() const { return root_; }

  private:
    // The kernel shows the same attributes under /sys/dev/char/M:N and /sys/class/tty/NAME.
    void Add(const std::string& name, unsigned major, unsigned minor, const std::string& type) {
        for (const fs::path& node :
             {root_ / "dev" / "char" / (std::to_string(major) + ":" + std::to_string(minor)),
              root_ / "class" / "tty" / name}) {
            fs::create_directories(node);
            std::ofstream(node / "dev") << major << ":" << minor << "\n";
            if (!type.empty()) {
                std::ofstream(node / "type") << type << "\n";
            }
        }
    }
    fs::path root_;
};

TEST(UartRule, OnlySerialCoreNodesMustReportAUart) {
    const FakeSys sys;
    struct Case {
        const char* what;
        unsigned major;
        unsigned minor;
        std::optional<int> reportedType;  // the serial-info answer; nothing: not answered
        bool accepted;
    };
    const Case cases[] = {
        {"ttyS0 with a 16550A", 4, 64, PORT_16550A, true},
        {"ttyS1 with no UART fitted", 4, 65, PORT_UNKNOWN, false},
        {"ttyUSB0 (usb-serial, Linux 5.13 on)", 188, 0, PORT_UNKNOWN, true},
        {"ttyUSB0 (usb-serial, older kernels)", 188, 0, PORT_16550A, true},
        {"ttyACM0 (cdc-acm)", 166, 0, PORT_UNKNOWN, true},
        {"a pseudo-terminal: no sysfs node, no answer", 136, 3, std::nullopt, true},
        {"a serial-core node that does not answer", 4, 64, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool serialCore = IsSerialCorePort(makedev(c.major, c.minor), sys.Root());
        EXPECT_EQ(UartRuleAccepts(serialCore, c.reportedType), c.accepted);
    }
}

// The port table drops the nodes with no UART before it numbers the ports.
TEST(UartRule, TheTableListsATerminalBySysfs) {
    const FakeSys sys;
    struct Case {
        const char* name;
        bool listed;
    };
    const Case cases[] = {
        {"ttyS0", true},   {"ttyS1", false}, {"ttyUSB0", true},
        {"ttyACM0", true}, {"ttyS9", true},  {"ttyS4", true},  // no sysfs entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SysfsShowsUart(c.name, sys.Root()), c.listed);
    }
}

}  // namespace
}  // namespace qv
