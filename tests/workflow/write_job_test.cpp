// The write job against the simulated radio on a pseudo-terminal, driven by a seat that
// answers its question from a script, as every front end's seat answers it.

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <optional>
#include <thread>

#include "image/load_image.h"
#include "job_test_support.h"
#include "protocol/protocol_constants.h"
#include "sim/simulator.h"
#include "workflow/job_messages.h"
#include "workflow/write_job.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::RecordingSeat;

constexpr int kTestBlocks = 25;
constexpr const char* kNoSuchPort = "/dev/qv-no-such-port";

class WriteJobTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string path = test::MakeTempDir() + "/small.mot";
        test::WriteTestMot(path, kTestBlocks);
        image_ = new LoadedImage(LoadAndCheckImage(256, path, 1, {}));
    }
    static void TearDownTestSuite() { delete image_; }

    static SimulatorOptions Radio() {
        SimulatorOptions options;
        options.listenSpeed = 9600;  // the first speed probed: no time lost in the link-up
        return options;
    }

    static WriteJobInput Input(const RecordList& blocks, int rounds = 90) {
        WriteJobInput input;
        input.region1Blocks = &blocks;
        input.versionLabel = image_->versionLabel;
        input.settings.roundsPerWrite = rounds;
        return input;
    }

    // Runs one job and checks what every way out must leave: the port closed, the seat told
    // the end last, and the whole job on this thread, with no thread of its own.
    WriteJobOutcome Run(Simulator& sim, RecordingSeat& seat, const WriteJobInput& input,
                        const char* devicePath = nullptr) {
        RadioLink link;
        link.SetDevicePath(devicePath != nullptr ? devicePath : sim.DevicePath());
        const int threadsBefore = test::ThreadCount();
        WriteJobOutcome outcome = RunJob(link, seat, input);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_LE(test::ThreadCount(), threadsBefore);  // a radio that hung up has ended its own
        EXPECT_EQ(seat.events.back(), "finished");
        EXPECT_TRUE(seat.onJobThread);
        return outcome;
    }

    static LoadedImage* image_;
};

LoadedImage* WriteJobTest::image_ = nullptr;

enum class Flash { Image, Untouched, Any };

struct JobCase {
    const char* name;
    std::optional<SimFault> fault;
    bool highSpeed;
    std::vector<bool> answers;
    bool succeeded;
    std::int32_t status;
    const char* lastStep;
    std::size_t questions;  // the version questions asked
    int lastDone;           // the blocks done as the job last told them; -1: never told
    Flash flash;
    const char* radioEnd;  // how the radio saw the job end
};

const std::string kConnection = kConnectionMessage;

// clang-format off
const JobCase kCases[] = {
    {"acknowledged", {}, true, {true}, true, 0, "ClosePort", 1, kTestBlocks, Flash::Image,
     "end command"},
    {"streamed", {}, false, {true}, true, 0, "ClosePort", 1, kTestBlocks, Flash::Image,
     "end command"},
    {"cancelled", {}, true, {false}, false, StatusCancelled, "ConfirmVersionChange", 1, -1,
     Flash::Untouched, "cancelled"},
    {"wrong model", SimFault{SimFaultKind::WrongModel}, true, {}, false, StatusModelMismatch,
     "CheckModel", 0, -1, Flash::Untouched, "closed"},
    {"nak on block 3", SimFault{SimFaultKind::NakBlock, 3}, true, {true}, false, 0,
     "TransferBlocks", 1, 3, Flash::Any, "closed"},
    // The frame that makes the radio hang up has already been written: it counts as done.
    {"hang-up at block 5", SimFault{SimFaultKind::HangupBlock, 5}, false, {true}, false, 0,
     "TransferBlocks", 1, 6, Flash::Any, "hung up"},
    {"checksum refused", SimFault{SimFaultKind::BadChecksum}, true, {true}, false, 0,
     "SendChecksumFrame", 1, kTestBlocks, Flash::Any, "closed"},
    {"silent before 0x5B", SimFault{SimFaultKind::SilentAfter, kCmd5B}, true, {true}, false,
     StatusExchangeFailed, "SendCommand5B", 1, kTestBlocks, Flash::Image, "closed"},
    {"silent at the end command", SimFault{SimFaultKind::SilentAfter, kCmdEnd}, true, {true},
     false, StatusExchangeFailed, "SendEndCommand", 1, kTestBlocks, Flash::Image, "end command"},
};
// clang-format on

void PrintTo(const JobCase& c, std::ostream* os) {
    *os << c.name;
}

class EveryWayOutTest : public WriteJobTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(EveryWayOutTest, EndsAsItsStatusSays) {
    const JobCase& c = GetParam();
    {
        SimulatorOptions options = Radio();
        options.highSpeed = c.highSpeed;
        if (c.fault) {
            options.faults.push_back(*c.fault);
        }
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        const std::vector<std::uint8_t> oldFlash = sim->Flash();
        RecordingSeat seat(c.answers);
        const WriteJobOutcome outcome = Run(*sim, seat, Input(image_->region1Blocks));

        EXPECT_EQ(outcome.succeeded, c.succeeded);
        EXPECT_EQ(outcome.status, c.status);
        ASSERT_FALSE(outcome.steps.empty());
        EXPECT_EQ(StepName(outcome.steps.back().step), c.lastStep);
        EXPECT_EQ(seat.questions.size(), c.questions);
        EXPECT_EQ(seat.blocksDone.empty() ? -1 : seat.blocksDone.back(), c.lastDone);
        if (c.succeeded) {
            EXPECT_EQ(outcome.closingMessage, kWritingCompletedMessage);
        } else if (c.status == StatusCancelled) {
            EXPECT_EQ(outcome.closingMessage, "");
        } else if (c.status == StatusModelMismatch) {
            EXPECT_EQ(outcome.closingMessage, kModelMismatchMessage);
        } else {
            EXPECT_EQ(outcome.closingMessage, kConnection);
        }
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        const SimReport report = sim->Report();
        ASSERT_EQ(report.jobLog.size(), 1u);
        EXPECT_EQ(report.jobLog[0].end, c.radioEnd);
        if (c.flash == Flash::Image) {
            EXPECT_EQ(sim->Flash(), test::Region1Of(image_->region1Blocks));
        } else if (c.flash == Flash::Untouched) {
            EXPECT_EQ(sim->Flash(), oldFlash);
        }
        if (!c.fault) {
            EXPECT_TRUE(report.deviations.empty()) << report.deviations.front().message;
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<JobCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p != 0; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) != 0 ? *p : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Job, EveryWayOutTest, ::testing::ValuesIn(kCases), CaseName);

TEST_F(WriteJobTest, APortThatDoesNotOpenEndsAtOnce) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    RecordingSeat seat;
    const WriteJobOutcome outcome = Run(*sim, seat, Input(image_->region1Blocks), kNoSuchPort);
    EXPECT_EQ(outcome.status, StatusPortOpenFailed);
    EXPECT_EQ(outcome.openFailure, OpenFailure::Missing);
    ASSERT_EQ(outcome.steps.size(), 1u);
    EXPECT_EQ(outcome.closingMessage, "The COM port cannot be opened.");
    EXPECT_EQ(seat.events, (std::vector<std::string>{"step OpenPort", "finished"}));
}

// Empty blocks send nothing but count as done and in the rounds: 26 blocks with rounds of 10
// resynchronise twice, before blocks 10 and 20. On a line with its byte times modelled,
// the radio has its 25 ms to program each block after the frame has left the line.
TEST_F(WriteJobTest, StreamedRoundsAndProgressCountEveryBlock) {
    RecordList blocks = image_->region1Blocks;
    blocks.insert(blocks.begin() + 12, HexRecord{});
    SimulatorOptions options = Radio();
    options.highSpeed = false;
    options.lineRate = true;
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    RecordingSeat seat({true});
    const WriteJobOutcome outcome = Run(*sim, seat, Input(blocks, 10));

    ASSERT_TRUE(outcome.succeeded);
    EXPECT_FALSE(outcome.highSpeedConfirmed);
    // 0 of 26 as the transfer begins, each block as it is handled, and all once the line is
    // back at 19200.
    std::vector<int> expected;
    for (int i = 0; i <= static_cast<int>(blocks.size()); ++i) {
        expected.push_back(i);
    }
    expected.push_back(static_cast<int>(blocks.size()));
    EXPECT_EQ(seat.blocksDone, expected);
    EXPECT_NE(std::find(seat.events.begin(), seat.events.end(), "progress 0/26"),
              seat.events.end());
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    EXPECT_EQ(report.resynchronisations, 2);
    EXPECT_EQ(report.jobLog[0].blocks, kTestBlocks);
    EXPECT_GE(report.jobLog[0].shortestProgrammingGapMs, kSimShortestGapMs);
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);
    EXPECT_EQ(sim->Flash(), test::Region1Of(image_->region1Blocks));
}

// The seat asks the job to stop. Before the erase that is a cancel: the end command goes out
// once the radio has identified itself. After it the job stops between two frames and sends
// nothing more: the radio keeps its boot loader for the next write.
struct StopCase {
    const char* name;
    bool highSpeed;
    int stopAfterQuestions;
    int stopAtBlocks;
    bool interrupted;
    const char* radioEnd;  // how the radio saw the job end; nullptr: no job began
};

void PrintTo(const StopCase& c, std::ostream* out) {
    *out << c.name;
}

class JobStops : public WriteJobTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(JobStops, AtTheNextBoundary) {
    const StopCase& c = GetParam();
    SimulatorOptions options = Radio();
    options.highSpeed = c.highSpeed;
    options.lineRate = true;
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const std::vector<std::uint8_t> oldFlash = sim->Flash();
    RecordingSeat seat({true});
    seat.stopAfterQuestions = c.stopAfterQuestions;
    seat.stopAtBlocks = c.stopAtBlocks;
    const WriteJobOutcome outcome = Run(*sim, seat, Input(image_->region1Blocks, 10));

    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.interrupted, c.interrupted);
    if (c.interrupted) {
        EXPECT_EQ(outcome.closingMessage, kInterruptedMessage);
        EXPECT_EQ(outcome.blocksSent, c.stopAtBlocks);
    } else {
        EXPECT_EQ(outcome.status, StatusCancelled);
        EXPECT_EQ(outcome.blocksSent, 0);
    }
    if (c.radioEnd == nullptr) {
        EXPECT_FALSE(sim->WaitForJobs(1, 300ms));
        return;
    }
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);  // no frame cut in half
    EXPECT_EQ(report.jobLog.at(0).end, c.radioEnd);
    if (c.interrupted) {
        EXPECT_EQ(report.jobLog[0].blocks, outcome.blocksSent);
    } else {
        EXPECT_EQ(sim->Flash(), oldFlash);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Seat, JobStops,
    ::testing::Values(StopCase{"before_the_port_opens", true, 0, -1, false, nullptr},
                      StopCase{"after_the_confirmation", true, 1, -1, false, "cancelled"},
                      StopCase{"mid_transfer_acknowledged", true, -1, 6, true, "closed"},
                      StopCase{"mid_transfer_streamed", false, -1, 13, true, "closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteJobTest, TheQuestionNamesBothVersions) {
    struct Case {
        const char* version;
        bool noVersion;
        std::optional<std::string> asked;
    };
    const Case cases[] = {
        {"SIM-0.9", false, "SIM-0.9"},
        {"ABCDEFGHIJKLMNOP", false, "ABCDEFGH"},
        {"", true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        SimulatorOptions options = Radio();
        options.version = c.version;
        options.noVersion = c.noVersion;
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        RecordingSeat seat({false});
        Run(*sim, seat, Input(image_->region1Blocks));
        ASSERT_EQ(seat.questions.size(), 1u);
        EXPECT_EQ(seat.questions[0].radioVersion, c.asked);
        EXPECT_EQ(seat.questions[0].newVersion, "TEST-1.0");
    }
}

TEST_F(WriteJobTest, IdentifyEndsTheSessionAsACancelDoes) {
    struct Case {
        std::optional<SimFault> fault;
        bool succeeded;
        std::int32_t status;
        std::uint8_t modelTail;  // bytes 8..15 of the model code
        const char* radioEnd;
    };
    const Case cases[] = {
        {{}, true, 0, 0xFF, "cancelled"},
        {SimFault{SimFaultKind::WrongModel}, false, StatusModelMismatch, 0x00, "closed"},
    };
    for (const Case& c : cases) {
        SimulatorOptions options = Radio();
        if (c.fault) {
            options.faults.push_back(*c.fault);
        }
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        RecordingSeat seat;
        const WriteJobOutcome outcome = Run(*sim, seat, IdentifyInput(UpdaterSettings{}));
        EXPECT_EQ(outcome.succeeded, c.succeeded);
        EXPECT_EQ(outcome.status, c.status);
        ASSERT_TRUE(outcome.identified);
        EXPECT_EQ(std::string(outcome.modelCode.begin(), outcome.modelCode.begin() + 8),
                  "MQV9051V");
        EXPECT_EQ(outcome.modelCode[15], c.modelTail);
        if (c.succeeded) {
            EXPECT_EQ(outcome.radioVersionText, "SIM-0.9");
            EXPECT_TRUE(seat.questions.empty());
            EXPECT_EQ(outcome.closingMessage, "");
        }
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        EXPECT_EQ(sim->Report().jobLog[0].end, c.radioEnd);
    }
}

// ModemManager holds a newly plugged port for a few seconds: a job that finds its port busy
// opens it once the holder lets go, within its retry time, and goes on, on the job's thread.
TEST_F(WriteJobTest, ABusyPortOpensOnceItsHolderLetsGo) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    SerialLink holder;
    holder.SetDevicePath(sim->DevicePath());
    ASSERT_TRUE(holder.Open());
    std::thread release([&holder] {
        std::this_thread::sleep_for(1s);
        holder.Close();
    });
    RecordingSeat seat;
    const auto start = std::chrono::steady_clock::now();
    const WriteJobOutcome outcome = Run(*sim, seat, IdentifyInput(UpdaterSettings{}));
    const auto took = std::chrono::steady_clock::now() - start;
    release.join();
    EXPECT_TRUE(outcome.succeeded) << outcome.status;
    EXPECT_GE(took, 900ms);
}

}  // namespace
}  // namespace qv
