// Each fault the simulator can show, and each kind of departure from the wire sequence it
// must notice.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "sim_test_support.h"

namespace qv::test {
namespace {

bool Erased(const std::vector<std::uint8_t>& flash, const Block& block) {
    const std::size_t at = block.address - 0x08010000;
    return std::all_of(flash.begin() + at, flash.begin() + at + block.data.size(),
                       [](std::uint8_t b) { return b == 0xFF; });
}

bool Written(const std::vector<std::uint8_t>& flash, const Block& block) {
    return std::equal(block.data.begin(), block.data.end(),
                      flash.begin() + (block.address - 0x08010000));
}

struct FaultCase {
    const char* name;
    const char* fault;
    bool highSpeed;
    Mutation mutation;
    const char* failedAt;  // where the scripted job stops; "" when it goes through
    std::function<void(const SimReport&, const Simulator&, const JobScript&)> check;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, AreShownToTheUpdater) {
    const FaultCase& c = GetParam();
    SimulatorOptions options;
    options.highSpeed = c.highSpeed;
    options.faults.push_back(*ParseSimFault(c.fault));
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.blocks = MakeBlocks(5);
    script.mutation = c.mutation;

    const JobOutcome outcome = RunJob(sim->DevicePath(), script);
    if (sim->Report().probesAnswered > 0) {
        sim->WaitForJobs(1, 3s);  // the job ends when the scripted updater lets go
    }
    const SimReport report = sim->Report();

    EXPECT_EQ(outcome.failedAt, c.failedAt) << SimReportToJson(report);
    if (c.check) {
        c.check(report, *sim, script);
    }
}

void NoDeviation(const SimReport& report, const Simulator&, const JobScript&) {
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Faults,
    ::testing::Values(
        FaultCase{"silent_linkup", "silent-linkup", true, Mutation::None, "link-up",
                  [](const SimReport& r, const Simulator&, const JobScript&) {
                      EXPECT_EQ(r.probesAnswered, 0);
                  }},
        FaultCase{"wrong_model", "wrong-model", true, Mutation::None, "",
                  nullptr},  // the model check is the updater's; see WrongModelCode below
        FaultCase{"nak_acknowledged_block", "nak-block=2", true, Mutation::None, "block 2",
                  [](const SimReport&, const Simulator& sim, const JobScript& s) {
                      EXPECT_TRUE(Written(sim.Flash(), s.blocks[1]));
                      EXPECT_TRUE(Erased(sim.Flash(), s.blocks[2]));
                  }},
        FaultCase{"nak_streamed_block", "nak-block=2", false, Mutation::None, "transfer end",
                  [](const SimReport&, const Simulator& sim, const JobScript& s) {
                      EXPECT_TRUE(Erased(sim.Flash(), s.blocks[2]));
                      EXPECT_TRUE(Written(sim.Flash(), s.blocks[3]));
                  }},
        FaultCase{"hangup_block", "hangup-block=1", true, Mutation::None, "block 1",
                  [](const SimReport& r, const Simulator& sim, const JobScript&) {
                      EXPECT_TRUE(sim.Finished());
                      ASSERT_EQ(r.jobLog.size(), 1u);
                      EXPECT_EQ(r.jobLog[0].end, "hung up");
                      const int fd = ::open(sim.DevicePath().c_str(), O_RDWR | O_NOCTTY);
                      const std::uint8_t ack = 0x06;
                      EXPECT_TRUE(fd < 0 || ::write(fd, &ack, 1) != 1);
                      if (fd >= 0) {
                          ::close(fd);
                      }
                  }},
        FaultCase{"bad_checksum", "bad-checksum", true, Mutation::None, "checksum",
                  [](const SimReport& r, const Simulator& sim, const JobScript& s) {
                      NoDeviation(r, sim, s);
                      EXPECT_FALSE(r.jobLog.at(0).checksumAcked);
                  }},
        FaultCase{"silent_after_5b", "silent-after=0x5B", true, Mutation::None, "5B",
                  [](const SimReport& r, const Simulator&, const JobScript&) {
                      ASSERT_EQ(r.jobLog.size(), 1u);
                      EXPECT_EQ(r.jobLog[0].end, "closed");
                  }},
        FaultCase{"silent_after_checksum", "silent-after=checksum", false, Mutation::None,
                  "checksum", nullptr},
        FaultCase{"garbage_purged_by_each_write", "garbage-before-reply", true, Mutation::None, "",
                  NoDeviation},
        FaultCase{"garbage_taken_without_purge", "garbage-before-reply", true, Mutation::NoPurge,
                  "identification", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatorFaults, WrongModelCodeKeepsTheNameAndBreaksTheMarketCode) {
    SimulatorOptions options;
    options.faults.push_back(*ParseSimFault("wrong-model"));
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.cancel = true;
    const JobOutcome outcome = RunJob(sim->DevicePath(), script);
    ASSERT_EQ(outcome.identification.size(), 48u);
    const std::vector<std::uint8_t> code(outcome.identification.begin(),
                                         outcome.identification.begin() + 16);
    EXPECT_EQ(code, (std::vector<std::uint8_t>{'M', 'Q', 'V', '9', '0', '5', '1', 'V', 0, 0, 0, 0,
                                               0, 0, 0, 0}));
}

TEST(SimulatorFaults, NamesParseAndPrintBack) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"nak-block=7", "nak-block=7"},
        {"silent-after=0x5b", "silent-after=0x5B"},
        {"silent-after=end", "silent-after=0x45"},
        {"garbage-before-reply", "garbage-before-reply"},
        {"late-area", "late-area"},
    };
    for (const auto& [text, printed] : cases) {
        std::optional<SimFault> fault = ParseSimFault(text);
        ASSERT_TRUE(fault) << text;
        EXPECT_EQ(SimFaultName(*fault), printed);
    }
    for (const char* bad : {"nak-block", "nak-block=x", "bad-checksum=1", "silent-after=0x100",
                            "silent-after=frobnicate", "melt"}) {
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
    }
}

struct DeviationCase {
    const char* name;
    bool highSpeed;
    Mutation mutation;
    const char* message;  // a part of the deviation that must be listed
    int stopBits = 2;
    int blocks = 5;
    int roundsPerWrite = 10;
    bool lineRate = false;
};

void PrintTo(const DeviationCase& c, std::ostream* out) {
    *out << c.name;
}

class Deviations : public ::testing::TestWithParam<DeviationCase> {};

TEST_P(Deviations, AreListed) {
    const DeviationCase& c = GetParam();
    SimulatorOptions options;
    options.highSpeed = c.highSpeed;
    options.lineRate = c.lineRate;
    auto sim = StartSimulator(options);
    ASSERT_TRUE(sim);
    JobScript script;
    script.mutation = c.mutation;
    script.stopBits = c.stopBits;
    script.roundsPerWrite = c.roundsPerWrite;
    script.blocks = MakeBlocks(c.blocks);

    RunJob(sim->DevicePath(), script);
    sim->WaitForJobs(1, 3s);
    const SimReport report = sim->Report();

    const bool listed = std::any_of(
        report.deviations.begin(), report.deviations.end(),
        [&](const SimDeviation& d) { return d.message.find(c.message) != std::string::npos; });
    EXPECT_TRUE(listed) << SimReportToJson(report);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Deviations,
    ::testing::Values(
        DeviationCase{"wrong_stop_bits", true, Mutation::None, "stop bits", 1},
        DeviationCase{"frame_at_wrong_speed", false, Mutation::FramesAt19200,
                      "baud while listening at 38400"},
        DeviationCase{"wrong_block_sum", false, Mutation::BadBlockSum, "carries sum"},
        DeviationCase{"wrong_block_sum_acknowledged", true, Mutation::BadBlockSum, "carries sum"},
        DeviationCase{"checksum_range", true, Mutation::WrongChecksumRange, "checksum range"},
        DeviationCase{"area_order", true, Mutation::AreasSwapped, "area command"},
        DeviationCase{"unmasked_command", true, Mutation::UnmaskedAfterSession, "unexpected byte"},
        DeviationCase{"unconfirmed_return_to_19200", false, Mutation::SkipResyncAck,
                      "not confirmed"},
        DeviationCase{"session_byte", true, Mutation::BadSessionByte, "session byte"},
        DeviationCase{"block_outside_region", true, Mutation::BlockOutsideRegion,
                      "outside region 1"},
        DeviationCase{"blocks_out_of_order", true, Mutation::BlocksOutOfOrder, "overlaps"},
        DeviationCase{"end_before_areas", true, Mutation::EndBeforeAreas,
                      "end command while waiting for the area command"},
        DeviationCase{"speed_code", true, Mutation::BadSpeedCode, "speed change with code 0x05"},
        DeviationCase{"no_resynchronisation", false, Mutation::None, "more than 90", 2, 92, 100},
        DeviationCase{"no_time_to_program", false, Mutation::NoProgrammingTime,
                      "no time to program", 2, 5, 10, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv::test
