// qv-flash on a terminal of its own, interrupted as a technician would: Ctrl+C typed during a
// write and at the prompt, SIGTERM from a supervisor, a second Ctrl+C while the job stops.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "job_test_support.h"
#include "protocol/protocol_constants.h"
#include "serial/serial_link.h"
#include "sim/simulator.h"
#include "terminal_process.h"
#include "workflow/job_messages.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::QvFlashOnTerminal;

constexpr int kBlocks = 60;

class Interruption : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(test::MakeTempDir());
        test::WriteTestMot(*dir_ + "/small.mot", kBlocks);
    }
    static void TearDownTestSuite() { delete dir_; }

    // A radio the streamed transfer takes a few seconds for, its line's byte times modelled.
    static SimulatorOptions SlowRadio() {
        SimulatorOptions options;
        options.listenSpeed = 9600;
        options.highSpeed = false;
        options.lineRate = true;
        return options;
    }

    static std::vector<std::string> WriteArgs(const Simulator& sim,
                                              const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"write", "--port", sim.DevicePath(),
                                         "qzx",   "--mot",  *dir_ + "/small.mot"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    static std::string LastRecordLine(const std::string& path) {
        std::ifstream file(path);
        std::string last;
        for (std::string line; std::getline(file, line);) {
            last = line;
        }
        return last;
    }

    // The port is free at once for the next program: closed, not held exclusive.
    static bool PortFree(const Simulator& sim) {
        SerialLink link;
        link.SetDevicePath(sim.DevicePath());
        return link.Open() && link.Close();
    }

    static std::string* dir_;
};

std::string* Interruption::dir_ = nullptr;

struct MidWriteCase {
    const char* name;
    int signal;
    bool typed;  // Ctrl+C on the terminal; otherwise the signal is sent to the program
};

void PrintTo(const MidWriteCase& c, std::ostream* out) {
    *out << c.name;
}

class MidWrite : public Interruption, public ::testing::WithParamInterface<MidWriteCase> {};

TEST_P(MidWrite, StopsBetweenFramesAndSaysTheRadioIsHalfWritten) {
    const MidWriteCase& c = GetParam();
    auto sim = Simulator::Start(SlowRadio());
    ASSERT_NE(sim, nullptr);
    const std::string record = *dir_ + "/" + c.name + ".jsonl";
    QvFlashOnTerminal run(WriteArgs(*sim, {"--yes", "--record", record}));
    ASSERT_TRUE(run.WaitForOutput(" blocks ", 30s)) << run.Output();
    if (c.typed) {
        run.Type("\x03");
    } else {
        run.Signal(c.signal);
    }
    EXPECT_EQ(run.Wait(30s), 128 + c.signal) << run.Output();
    // Alone on the last line: the bar's line was ended first.
    EXPECT_EQ(run.LastLine(), kInterruptedMessage) << run.Output();

    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);  // no frame cut in half
    const SimJobRecord& job = report.jobLog.at(0);
    EXPECT_EQ(job.end, "closed") << "no end command: the radio stays in its boot loader";
    EXPECT_GT(job.blocks, 0);
    EXPECT_LT(job.blocks, kBlocks);
    const std::string line = LastRecordLine(record);
    EXPECT_NE(line.find("\"outcome\":\"interrupted\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"blocksSent\":" + std::to_string(job.blocks) + ","), std::string::npos)
        << line;
    EXPECT_TRUE(PortFree(*sim));
}

INSTANTIATE_TEST_SUITE_P(Signals, MidWrite,
                         ::testing::Values(MidWriteCase{"ctrl_c", SIGINT, true},
                                           MidWriteCase{"sigterm", SIGTERM, false},
                                           MidWriteCase{"sighup", SIGHUP, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Ctrl+C at the question is a no: the radio leaves its boot loader untouched.
TEST_F(Interruption, CtrlCAtThePromptCancels) {
    auto sim = Simulator::Start(SlowRadio());
    ASSERT_NE(sim, nullptr);
    const std::vector<std::uint8_t> oldFlash = sim->Flash();
    QvFlashOnTerminal run(WriteArgs(*sim, {}));
    ASSERT_TRUE(run.WaitForOutput("Continue? [y/N] ", 30s)) << run.Output();
    run.Type("\x03");
    EXPECT_EQ(run.Wait(10s), 6) << run.Output();
    EXPECT_EQ(run.LastLine(), kCancelledMessage);
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    EXPECT_EQ(sim->Report().jobLog.at(0).end, "cancelled");
    EXPECT_EQ(sim->Flash(), oldFlash);
    EXPECT_TRUE(PortFree(*sim));
}

// The first Ctrl+C waits for the radio's answer to the checksum (3 s, which never comes); a
// second one ends the program at once.
TEST_F(Interruption, ASecondCtrlCEndsAtOnce) {
    SimulatorOptions options = SlowRadio();
    options.faults = {{SimFaultKind::SilentAfter, kCmdChecksum}};
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    QvFlashOnTerminal run(WriteArgs(*sim, {"--yes"}));
    ASSERT_TRUE(run.WaitForOutput(std::to_string(kBlocks) + "/" + std::to_string(kBlocks), 60s))
        << run.Output();
    std::this_thread::sleep_for(300ms);  // the checksum frame is out, its answer awaited
    run.Type("\x03");
    std::this_thread::sleep_for(300ms);
    const auto second = std::chrono::steady_clock::now();
    run.Type("\x03");
    EXPECT_EQ(run.Wait(10s), 130);
    EXPECT_LT(std::chrono::steady_clock::now() - second, 1500ms);
}

// The signal that ends the program at once still leaves the interrupted radio its record line,
// once: quick signals in the middle of the transfer (two for write, three for a station, whose
// first only ends it after the radio), and a write that hangs awaiting the checksum's answer,
// whose line only the forced exit can write.
struct ForcedExitCase {
    const char* name;
    const char* command;
    int signals;
    bool hangsAtChecksum;
};

void PrintTo(const ForcedExitCase& c, std::ostream* out) {
    *out << c.name;
}

class ForcedExit : public Interruption, public ::testing::WithParamInterface<ForcedExitCase> {};

TEST_P(ForcedExit, RecordsTheInterruptedRadioFirst) {
    const ForcedExitCase& c = GetParam();
    SimulatorOptions options = SlowRadio();
    if (c.hangsAtChecksum) {
        options.faults = {{SimFaultKind::SilentAfter, kCmdChecksum}};
    }
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const std::string record = *dir_ + "/forced-" + c.name + ".jsonl";
    std::vector<std::string> args = WriteArgs(*sim, {"--yes", "--record", record});
    args[0] = c.command;
    QvFlashOnTerminal run(args);
    const bool write = std::string(c.command) == "write";
    const std::string shown = c.hangsAtChecksum
                                  ? std::to_string(kBlocks) + "/" + std::to_string(kBlocks)
                              : write ? " blocks "
                                      : "Writing block";
    ASSERT_TRUE(run.WaitForOutput(shown, 60s)) << run.Output();
    if (c.hangsAtChecksum) {
        std::this_thread::sleep_for(300ms);  // the checksum frame is out, its answer awaited
    }
    // Apart enough to arrive as separate signals (pending ones of a kind merge into one), as
    // quick as a technician's keys.
    for (int i = 0; i < c.signals; ++i) {
        run.Signal(SIGINT);
        std::this_thread::sleep_for(50ms);
    }
    const auto last = std::chrono::steady_clock::now();
    EXPECT_EQ(run.Wait(10s), 130) << run.Output();
    EXPECT_LT(std::chrono::steady_clock::now() - last, 2500ms);
    EXPECT_EQ(run.LastLine(), kInterruptedMessage) << run.Output();

    std::ifstream file(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 1u) << "one line for the radio, whichever way it ended";
    EXPECT_NE(lines[0].find("\"outcome\":\"interrupted\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"exitCode\":130"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"oldVersion\":\"SIM-0.9\""), std::string::npos) << lines[0];
    if (c.hangsAtChecksum) {
        EXPECT_NE(lines[0].find("\"blocksSent\":" + std::to_string(kBlocks) + ","),
                  std::string::npos)
            << lines[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, ForcedExit,
    ::testing::Values(ForcedExitCase{"write_mid_transfer", "write", 2, false},
                      ForcedExitCase{"station_mid_transfer", "station", 3, false},
                      ForcedExitCase{"write_hung_at_checksum", "write", 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The terminal the program runs on is never taken for the radio's port.
TEST_F(Interruption, TheProgramsOwnTerminalIsNoPort) {
    QvFlashOnTerminal run({"identify", "--port", "/dev/tty"});
    EXPECT_EQ(run.Wait(10s), 4) << run.Output();
    EXPECT_NE(run.Output().find("/dev/tty is the terminal qv-flash runs on"), std::string::npos)
        << run.Output();
}

}  // namespace
}  // namespace qv
