// qv-flash ports, one port a line: what an adapter's latency timer adds to the line.

#include "cli/ports_format.h"

#include <gtest/gtest.h>

namespace qv::cli {
namespace {

using namespace std::chrono_literals;

PortInfo Ftdi(const char* device, LatencyTimer timer) {
    PortInfo port;
    port.number = 5;
    port.device = device;
    port.usbVendorId = 0x0403;
    port.usbProductId = 0x6001;
    port.latencyTimer = timer;
    return port;
}

TEST(PortsFormat, TheLatencyTimerAndItsFixWhereAJobWaitsForIt) {
    const std::string deviceManager =
        "set it to 1 ms in Device Manager: COM10, Properties, Port Settings, Advanced, Latency "
        "Timer (msec)";
    struct Case {
        const char* what;
        PortInfo port;
        std::string textEnd;  // how the text line ends
        std::string json;     // the latency's part of the JSON line
    };
    const Case cases[] = {
        {"Linux: lowered at every open",
         Ftdi("/dev/ttyUSB0", {16ms, true, "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"}),
         "0403:6001  latency timer 16 ms", "\"latencyTimerMs\":16,\"permissionDenied\""},
        {"Windows: the driver's 16 ms", Ftdi("\\\\.\\COM10", {16ms, false, ""}),
         "latency timer 16 ms: each reply waits for it; " + deviceManager,
         "\"latencyTimerMs\":16,\"latencyTimerFix\":\"" + deviceManager + "\""},
        {"Windows: set to 1 ms", Ftdi("COM5", {1ms, false, ""}), "0403:6001  latency timer 1 ms",
         "\"latencyTimerMs\":1,\"permissionDenied\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = PortTextLine(c.port);
        EXPECT_TRUE(text.ends_with(c.textEnd)) << text;
        EXPECT_NE(PortJsonLine(c.port).find(c.json), std::string::npos) << PortJsonLine(c.port);
    }
    PortInfo plain = Ftdi("/dev/ttyACM0", {});
    plain.latencyTimer.reset();
    EXPECT_EQ(PortTextLine(plain).find("latency"), std::string::npos);
    EXPECT_EQ(PortJsonLine(plain).find("latency"), std::string::npos);
}

}  // namespace
}  // namespace qv::cli
