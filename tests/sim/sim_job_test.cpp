// Whole jobs against the simulator, driven by the scripted updater over its terminal.

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "sim_test_support.h"

namespace qv::test {
namespace {

std::string Describe(const SimReport& report) {
    return SimReportToJson(report);
}

struct WholeJobCase {
    const char* name;
    bool highSpeed;  // the radio confirms 115200: acknowledged frames
    bool unencrypted;
    bool lineRate;
    int blocks;
    int resynchronisations;  // with roundsPerWrite 10
};

void PrintTo(const WholeJobCase& c, std::ostream* out) {
    *out << c.name;
}

class WholeJob : public ::testing::TestWithParam<WholeJobCase> {};

TEST_P(WholeJob, WritesEveryBlockAndAcknowledgesTheChecksum) {
    const WholeJobCase& c = GetParam();
    SimulatorOptions options;
    options.highSpeed = c.highSpeed;
    options.lineRate = c.lineRate;
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.unencrypted = c.unencrypted;
    script.blocks = MakeBlocks(c.blocks);

    const JobOutcome outcome = RunJob(sim->DevicePath(), script);
    ASSERT_TRUE(sim->WaitForJobs(1, 5s));
    const SimReport report = sim->Report();

    EXPECT_EQ(outcome.failedAt, "") << Describe(report);
    EXPECT_TRUE(report.deviations.empty()) << Describe(report);
    ASSERT_EQ(report.jobLog.size(), 1u);
    const SimJobRecord& job = report.jobLog[0];
    EXPECT_EQ(job.masked, !c.unencrypted);
    EXPECT_EQ(job.highSpeed, c.highSpeed);
    EXPECT_EQ(job.transfer, c.highSpeed ? "acknowledged" : "streamed");
    EXPECT_EQ(job.blocks, c.blocks);
    EXPECT_TRUE(job.checksumAcked);
    EXPECT_EQ(job.end, "end command");
    EXPECT_EQ(report.frames, c.blocks);
    EXPECT_EQ(report.resynchronisations, c.resynchronisations);
    EXPECT_EQ(report.highSpeedJobs, c.highSpeed ? 1 : 0);
    if (c.lineRate && !c.highSpeed) {
        EXPECT_GE(job.shortestProgrammingGapMs, kSimShortestGapMs)
            << "measured on the modelled line";
    }
    EXPECT_TRUE(sim->Flash() == ExpectedFlash(script.blocks));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WholeJob,
    ::testing::Values(WholeJobCase{"acknowledged_masked", true, false, false, 6, 0},
                      WholeJobCase{"acknowledged_unmasked", true, true, false, 6, 0},
                      WholeJobCase{"streamed_masked", false, false, false, 25, 2},
                      WholeJobCase{"streamed_unmasked", false, true, false, 25, 2},
                      WholeJobCase{"streamed_line_rate", false, false, true, 12, 1},
                      WholeJobCase{"acknowledged_line_rate", true, false, true, 6, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatorJobs, EachJobHasItsOwnIdentificationAndErasesAgain) {
    auto sim = StartSimulator();
    ASSERT_TRUE(sim);
    JobScript first;
    first.blocks = MakeBlocks(4);
    JobScript second;
    second.blocks = {Block{0x08020000, {1, 2, 3}}};

    const JobOutcome one = RunJob(sim->DevicePath(), first);
    ASSERT_TRUE(sim->WaitForJobs(1, 5s));
    const JobOutcome two = RunJob(sim->DevicePath(), second);
    ASSERT_TRUE(sim->WaitForJobs(2, 5s));

    EXPECT_EQ(one.failedAt, "");
    EXPECT_EQ(two.failedAt, "");
    ASSERT_EQ(one.identification.size(), 48u);
    ASSERT_EQ(two.identification.size(), 48u);
    EXPECT_FALSE(std::equal(one.identification.begin() + 32, one.identification.begin() + 44,
                            two.identification.begin() + 32));
    EXPECT_TRUE(sim->Report().deviations.empty()) << Describe(sim->Report());
    EXPECT_TRUE(sim->Flash() == ExpectedFlash(second.blocks));
}

// Radios in turn, as at a service bench: each leaves its boot loader with the end command,
// nobody answers until the next one is in its boot loader, and each tells its serial-number
// byte. A wrong model given for radio 2 is that radio's alone.
TEST(SimulatorJobs, RadiosComeInTurnEachWithItsSerialNumber) {
    SimulatorOptions options;
    options.radios = 3;
    options.between = 1500ms;
    options.faults = {{SimFaultKind::WrongModel, 2}};
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript write;
    write.blocks = MakeBlocks(3);
    JobScript refuse = write;
    refuse.cancel = true;  // sent away at the question, as a station sends a refused radio
    JobScript probe = write;
    probe.probeSpeeds = {19200};  // one round of polls: well within the pause

    const auto firstLeft = std::chrono::steady_clock::now();
    const JobOutcome one = RunJob(sim->DevicePath(), write);
    EXPECT_EQ(RunJob(sim->DevicePath(), probe).failedAt, "link-up") << "nobody is there yet";
    std::this_thread::sleep_until(firstLeft + 2s);
    const JobOutcome two = RunJob(sim->DevicePath(), refuse);
    std::this_thread::sleep_for(1600ms);
    const JobOutcome three = RunJob(sim->DevicePath(), write);
    ASSERT_TRUE(sim->WaitForJobs(3, 5s));

    for (const JobOutcome* outcome : {&one, &two, &three}) {
        ASSERT_EQ(outcome->identification.size(), 48u);
    }
    EXPECT_EQ(one.failedAt, "");
    EXPECT_EQ(three.failedAt, "");
    EXPECT_EQ(one.identification[16], 1);
    EXPECT_EQ(two.identification[16], 2);
    EXPECT_EQ(three.identification[16], 3);
    EXPECT_EQ(one.identification[8], 0xFF);
    EXPECT_EQ(two.identification[8], 0x00) << "radio 2 is the wrong model";
    EXPECT_EQ(three.identification[8], 0xFF);
    const SimReport report = sim->Report();
    EXPECT_TRUE(report.deviations.empty()) << Describe(report);
    ASSERT_EQ(report.jobLog.size(), 3u);
    EXPECT_EQ(report.jobLog[1].radio, 2);
    EXPECT_EQ(report.jobLog[1].end, "cancelled");
    EXPECT_TRUE(sim->Finished()) << "the last radio has left";
}

TEST(SimulatorJobs, AnswersTheProbeOnlyAtItsListeningSpeedThenAcksAt19200) {
    SimulatorOptions options;
    options.listenSpeed = 4800;
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.probeSpeeds = {9600, 19200, 4800};
    script.cancel = true;

    const JobOutcome outcome = RunJob(sim->DevicePath(), script);
    ASSERT_TRUE(sim->WaitForJobs(1, 5s));
    const SimReport report = sim->Report();

    EXPECT_EQ(outcome.failedAt, "");
    EXPECT_EQ(report.garbledBytes, 16);  // the probes at 9600 and 19200
    EXPECT_EQ(report.probesAnswered, 1);
    EXPECT_TRUE(report.deviations.empty()) << Describe(report);
}

TEST(SimulatorJobs, ARadioAt115200IsNeverFound) {
    SimulatorOptions options;
    options.listenSpeed = 115200;
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.probeSpeeds = {9600, 19200, 57600};
    EXPECT_EQ(RunJob(sim->DevicePath(), script).failedAt, "link-up");
    EXPECT_EQ(sim->Report().probesAnswered, 0);
}

TEST(SimulatorJobs, CancelAfterTheVersionLeavesTheOldFirmware) {
    SimulatorOptions options;
    options.model = "QV410";
    options.noVersion = true;
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    const std::vector<std::uint8_t> before = sim->Flash();
    JobScript script;
    script.cancel = true;

    const JobOutcome outcome = RunJob(sim->DevicePath(), script);
    ASSERT_TRUE(sim->WaitForJobs(1, 5s));
    const SimReport report = sim->Report();

    EXPECT_EQ(outcome.failedAt, "");
    const std::vector<std::uint8_t> model = {'Q',  'V',  '4',  '1',  '0',  0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(outcome.identification.size(), 48u);
    EXPECT_TRUE(std::equal(model.begin(), model.end(), outcome.identification.begin()));
    EXPECT_EQ(outcome.version, std::vector<std::uint8_t>(16, 0xFF));
    ASSERT_EQ(report.jobLog.size(), 1u);
    EXPECT_EQ(report.jobLog[0].end, "cancelled");
    EXPECT_TRUE(report.deviations.empty()) << Describe(report);
    EXPECT_TRUE(sim->Flash() == before);
    EXPECT_NE(std::count(before.begin(), before.end(), 0xFF), static_cast<long>(before.size()));
}

// A USB adapter on the updater's side holds each reply its latency timer, or 1 ms while the
// updater has low latency on. A whole job goes through either way, and the last radio's last
// reply leaves the adapter before the simulator ends.
TEST(SimulatorJobs, AnAdapterHoldsEachReplyItsLatencyTimer) {
    constexpr auto kTimer = 40ms;
    for (const bool lowLatency : {false, true}) {
        SCOPED_TRACE(lowLatency ? "low latency on" : "low latency off");
        SimulatorOptions options;
        options.radios = 1;
        options.adapter.latency = kTimer;
        options.adapter.lowLatency = [lowLatency](const std::string&) { return lowLatency; };
        auto sim = StartSimulator(options);
        ASSERT_TRUE(sim);
        JobScript script;
        script.probeSpeeds = {19200};
        script.blocks = MakeBlocks(3);
        const auto start = std::chrono::steady_clock::now();
        const JobOutcome outcome = RunJob(sim->DevicePath(), script);
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(sim->WaitForJobs(1, 5s));
        const SimReport report = sim->Report();

        EXPECT_EQ(outcome.failedAt, "") << Describe(report);
        EXPECT_TRUE(report.deviations.empty()) << Describe(report);
        EXPECT_EQ(report.adapterLatencyMs, 40);
        EXPECT_GT(report.repliesHeld, 10);
        EXPECT_EQ(report.repliesHeldLowLatency, lowLatency ? report.repliesHeld : 0);
        if (!lowLatency) {
            // Each reply is read before the next command goes out.
            EXPECT_GE(took, report.repliesHeld * kTimer);
        }
        EXPECT_TRUE(sim->Finished()) << "the radio has left";
    }
}

}  // namespace
}  // namespace qv::test
