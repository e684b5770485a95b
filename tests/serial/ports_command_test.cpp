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
    EXPECT_NE(run.out.find("\"device\":\"/dev/null\",\"permission-denied\":false}\n{"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"device\":\"/dev/qv-no-such-port\",\"permission-denied\":false,"
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

// Root may open anything: as root the command runs as an unprivileged user.
TEST(PortsCommand, PortWithoutPermissionSaysHowToGetIt) {
    const std::string device = "/tmp/qv_ports_no_permission_" + std::to_string(getpid());
    std::ofstream(device) << "";
    const bool asRoot = geteuid() == 0;
    ASSERT_EQ(chmod(device.c_str(), asRoot ? 0660 : 0), 0);
    if (asRoot) {
        ASSERT_EQ(chown(device.c_str(), 0, DialoutGroup()), 0);
    }
    const std::string user = asRoot ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::string command = "QV_SERIAL_PORTS=" + device + " " + user + QV_FLASH " ports";
    const CommandRun text = RunShell(command);
    const CommandRun json = RunShell(command + " --json");
    std::remove(device.c_str());

    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find(device + "  no permission: add yourself to group "), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("sudo usermod -aG "), std::string::npos);
    EXPECT_NE(json.out.find("\"permission-denied\":true,\"fix\":\"add yourself to group "),
              std::string::npos)
        << json.out;
    if (asRoot) {
        const std::string group = DialoutGroupName();
        EXPECT_NE(text.out.find("group " + group + ": sudo usermod -aG " + group +
                                " $USER, then log in again"),
                  std::string::npos);
    }
}

}  // namespace
