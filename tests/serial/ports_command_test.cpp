// qv-flash ports: the named paths after the devices found, and a port without permission
// told with its fix.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "dialout_group.h"
#include "pty_pair.h"

namespace {

using qv::test::DialoutGroup;
using qv::test::DialoutGroupName;

struct CommandRun {
    std::string out;
    int exitCode = -1;
};

CommandRun RunShell(const std::string& command) {
    CommandRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) {
        run.out += chunk.data();
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(PortsCommand, ListsNamedPathsAfterTheDevicesFound) {
    const CommandRun run =
        RunShell("QV_SERIAL_PORTS=/dev/null:/dev/qv-no-such-port " QV_FLASH " ports --json");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\"device\":\"/dev/null\",\"permissionDenied\":false}\n{"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"device\":\"/dev/qv-no-such-port\",\"permissionDenied\":false,"
                           "\"missing\":true}"),
              std::string::npos)
        << run.out;
    const CommandRun text = RunShell("QV_SERIAL_PORTS=/dev/qv-no-such-port " QV_FLASH " ports");
    EXPECT_NE(text.out.find("  /dev/qv-no-such-port  not present\n"), std::string::npos)
        << text.out;
}

// A USB cable's driver reports no UART type (Linux 5.13 on): the port is listed all the same.
TEST(PortsCommand, ListsAPortWhoseDriverReportsNoUartType) {
    const qv::test::PtyPair cable;
    ASSERT_TRUE(cable.ok());
    const CommandRun run = RunShell("LD_PRELOAD=" QV_USB_SERIAL_SHIM
                                    " ASAN_OPTIONS=verify_asan_link_order=0 QV_SERIAL_PORTS=" +
                                    cable.slavePath() + " " QV_FLASH " ports");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find(cable.slavePath()), std::string::npos) << run.out;
}

// Root may open anything: the command runs as an unprivileged user. The hint names the group
// that may open the device, unless that group is root's: joining it would give away far more
// than a serial port, so the hint is a udev rule.
TEST(PortsCommand, PortWithoutPermissionSaysHowToGetIt) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "SKIPPED LOUDLY: needs root to give the device to another group";
    }
    struct Case {
        gid_t group;
        std::string text;  // part of the text line
        std::string json;  // part of the JSON line
    };
    const std::string dialout = DialoutGroupName();
    const Case cases[] = {
        {DialoutGroup(),
         "no permission: add yourself to group " + dialout + ": sudo usermod -aG " + dialout +
             " $USER, then log in again",
         "\"permissionDenied\":true,\"fix\":\"add yourself to group " + dialout},
        {0, "no permission: the device is root-only: a udev rule can give it to a group",
         "\"permissionDenied\":true,\"fix\":\"the device is root-only"},
    };
    for (const Case& c : cases) {
        if (c.group == 0 && dialout == "root") {
            continue;  // the first case was this one
        }
        SCOPED_TRACE(c.text);
        const std::string device = "/tmp/qv_ports_no_permission_" + std::to_string(getpid());
        std::ofstream(device) << "";
        ASSERT_EQ(chmod(device.c_str(), 0660), 0);
        ASSERT_EQ(chown(device.c_str(), 0, c.group), 0);
        const std::string command = "QV_SERIAL_PORTS=" + device +
                                    " setpriv --reuid=65534 --regid=65534 --clear-groups " QV_FLASH
                                    " ports";
        const CommandRun text = RunShell(command);
        const CommandRun json = RunShell(command + " --json");
        std::remove(device.c_str());
        EXPECT_EQ(text.exitCode, 0);
        EXPECT_NE(text.out.find(device + "  " + c.text), std::string::npos) << text.out;
        EXPECT_NE(json.out.find(c.json), std::string::npos) << json.out;
    }
}

}  // namespace
