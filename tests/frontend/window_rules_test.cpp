// What a window decides without its toolkit: which port it selects, when it looks at the ports
// again, what Exit does, which word opens the designer mode.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frontend/exit_rule.h"
#include "frontend/port_choice.h"
#include "frontend/port_list.h"
#include "frontend/program_answer.h"
#include "frontend/window_rules.h"
#include "program_version.h"
#include "workflow/updater_settings.h"

namespace qv {
namespace {

// Which entry the list selects when it has no selection to keep.
TEST(PortChoice, StoredPortThenUsbAdapterThenFirst) {
    auto port = [](const char* device, bool usbIds = false, const char* stable = nullptr) {
        ListedPort listed;
        listed.info.device = device;
        if (usbIds) {
            listed.info.usbVendorId = 0x0403;
            listed.info.usbProductId = 0x6001;
        }
        listed.stableName = stable != nullptr ? stable : device;
        return listed;
    };
    const ListedPort uart = port("/dev/ttyS0");
    const ListedPort uart2 = port("/dev/ttyS1");
    const ListedPort ftdi = port("/dev/ttyUSB0", true, "/dev/serial/by-id/usb-FTDI_A1B2C3-port0");
    const ListedPort acm = port("/dev/ttyACM0");  // no ids read, the driver's name tells
    const ListedPort named = port("/tmp/qv-radio");
    struct Case {
        const char* name;
        std::vector<ListedPort> ports;
        std::string stored;
        std::optional<std::size_t> chosen;
    };
    const Case cases[] = {
        {"built-in UARTs only: the first", {uart, uart2}, "", 0},
        {"USB adapter before the built-in UART", {uart, ftdi}, "", 1},
        {"CDC-ACM counts as USB", {uart, named, acm}, "", 2},
        {"stored path", {uart, ftdi, named}, "/tmp/qv-radio", 2},
        {"stored by its by-id name",
         {uart, named, ftdi},
         "/dev/serial/by-id/usb-FTDI_A1B2C3-port0",
         2},
        {"stored but absent: USB first", {uart, ftdi}, "/dev/ttyUSB7", 1},
        {"nothing listed", {}, "/tmp/qv-radio", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstChoice(c.ports, c.stored), c.chosen) << c.name;
    }
}

TEST(PortList, RefreshesWhileIdleAndRetriesUnopenedPortsWhenTheListDropsDown) {
    struct Case {
        RefreshCause cause;
        bool jobRunning;
        bool droppedDown;
        bool refresh;
        bool retry;
    };
    const Case cases[] = {
        {RefreshCause::Startup, false, false, true, false},
        {RefreshCause::Poll, false, false, true, false},
        {RefreshCause::Poll, false, true, false, false},  // under the user's eyes
        {RefreshCause::ListDropDown, false, true, true, true},
        {RefreshCause::DeviceChange, false, false, true, false},
        {RefreshCause::JobEnded, false, false, true, false},
        {RefreshCause::Poll, true, false, false, false},
        {RefreshCause::ListDropDown, true, true, false, false},
        {RefreshCause::DeviceChange, true, false, false, false},
    };
    for (const Case& c : cases) {
        const RefreshPlan plan = PlanRefresh(c.cause, c.jobRunning, c.droppedDown);
        EXPECT_EQ(plan.refresh, c.refresh) << static_cast<int>(c.cause) << " " << c.jobRunning;
        EXPECT_EQ(plan.retryUnopened, c.retry) << static_cast<int>(c.cause);
    }
}

TEST(ExitRule, NoWayOutDuringAJobTheWaitStopsElseItAsks) {
    EXPECT_EQ(WhatExitDoes(false, false), ExitRequest::Confirm);
    EXPECT_EQ(WhatExitDoes(true, false), ExitRequest::Refused);
    EXPECT_EQ(WhatExitDoes(true, true), ExitRequest::StopWaiting);
}

TEST(DesignerWord, IsTheOneWordInAnyLetterCase) {
    for (const char* word : {"qzx", "QZX", "qZx"}) {
        EXPECT_TRUE(IsDesignerWord(word)) << word;
    }
    for (const char* word : {"", "qz", "qzxx", "qzy", "-qzx", "q\xC3\xB6x"}) {
        EXPECT_FALSE(IsDesignerWord(word)) << word;
    }
    EXPECT_TRUE(IsRoundsChoice(10) && IsRoundsChoice(90));
    EXPECT_FALSE(IsRoundsChoice(0) || IsRoundsChoice(15) || IsRoundsChoice(100));
}

// Write, the loop's start and its going on, after the events that change them.
TEST(WindowRules, WriteAndTheNextRadioLoop) {
    EXPECT_TRUE(WriteAllowed(false, true, 1));
    EXPECT_FALSE(WriteAllowed(true, true, 1)) << "during a job";
    EXPECT_FALSE(WriteAllowed(false, false, 3)) << "an image that failed its checks";
    EXPECT_FALSE(WriteAllowed(false, true, 0)) << "no port to write through";

    WriteJobOutcome written;
    written.succeeded = true;
    WriteJobOutcome refused;
    refused.status = StatusModelMismatch;
    WriteJobOutcome cancelled;
    cancelled.status = StatusCancelled;
    WriteJobOutcome lost;  // the connection message: no code of its own
    WriteJobOutcome interrupted;
    interrupted.interrupted = true;
    struct Case {
        const char* name;
        WriteJobOutcome outcome;
        bool starts;  // with the box ticked
        bool goesOn;
    };
    const Case cases[] = {
        {"written", written, true, true},
        {"refused for its model: sent away", refused, false, true},
        {"cancelled", cancelled, false, false},
        {"connection lost", lost, false, false},
        {"interrupted, half written", interrupted, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartsNextRadioLoop(c.outcome, true), c.starts) << c.name;
        EXPECT_FALSE(StartsNextRadioLoop(c.outcome, false)) << c.name << ", not ticked";
        EXPECT_EQ(NextRadioGoesOn(c.outcome), c.goesOn) << c.name;
    }
}

// OK in the special settings, and the settings as the dialog shows them again.
TEST(WindowRules, SettingsReloadTheImageOnlyForTheMotFileOrANewBlockSize) {
    const UpdaterSettings defaults;
    auto with = [&](auto change) {
        UpdaterSettings changed = defaults;
        change(changed);
        return changed;
    };
    struct Case {
        const char* name;
        UpdaterSettings before;
        UpdaterSettings after;
        bool reload;
    };
    const Case cases[] = {
        {"nothing changed", defaults, defaults, false},
        {"stop bits only", defaults, with([](auto& s) { s.stopBits = 1; }), false},
        {"rounds only", defaults, with([](auto& s) { s.roundsPerWrite = 10; }), false},
        {"block size 128", defaults, with([](auto& s) { s.maxBuffer = 128; }), true},
        {"Mot file ticked", defaults, with([](auto& s) { s.useMotFile = 1; }), true},
        {"Mot file still ticked, nothing else", with([](auto& s) { s.useMotFile = 1; }),
         with([](auto& s) { s.useMotFile = 1; }), true},
        {"Mot file unticked: the loaded image stays", with([](auto& s) { s.useMotFile = 1; }),
         defaults, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsCallForReload(c.before, c.after), c.reload) << c.name;
    }
    const int stored[][2] = {{kBaudIndex19200, kBaudIndex19200},
                             {kBaudIndex38400, kBaudIndex38400},
                             {kBaudIndex57600, kBaudIndex57600},
                             {kBaudIndex115200, kBaudIndex115200},
                             {0, kBaudIndex38400},
                             {2, kBaudIndex38400},
                             {-1, kBaudIndex38400}};
    for (const auto& [baudIndex, shown] : stored) {
        EXPECT_EQ(ShownBaudIndex(baudIndex), shown) << baudIndex;
    }
}

// --version and --help end the program before any window; every other word opens it.
TEST(ProgramAnswer, VersionAndHelpWithoutAWindow) {
    const std::string version = std::string("qv-updater ") + kProgramVersion + "\n";
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> starts;  // nothing: the window opens
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{"qzx"}, std::nullopt},
        {{"--verbose"}, std::nullopt},
        {{"--version"}, version},
        {{"QZX", "--version"}, version},
        {{"--help"}, "Usage: qv-updater [DESIGNER]\n"},
        {{"-h"}, "Usage: qv-updater [DESIGNER]\n"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> answer = AnswerWithoutWindow(c.arguments);
        ASSERT_EQ(answer.has_value(), c.starts.has_value()) << testing::PrintToString(c.arguments);
        if (answer) {
            EXPECT_EQ(answer->rfind(*c.starts, 0), 0u) << *answer;
        }
    }
}

}  // namespace
}  // namespace qv
