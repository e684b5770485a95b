// The write job against the simulated radio on a pseudo-terminal, driven by a host that
// answers its boxes from a script, as the desktop application's tests drive it too.

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
using test::RecordingHost;

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

    // Runs one job and checks what every way out must leave: the controls unlocked last,
    // the bar reset, the port closed, no worker thread left.
    WriteJobOutcome RunJob(Simulator& sim, RecordingHost& host, const WriteJobInput& input,
                           const char* devicePath = nullptr) {
        RadioLink link;
        link.SetDevicePath(devicePath != nullptr ? devicePath : sim.DevicePath());
        const int threadsBefore = test::ThreadCount();
        WriteJobOutcome outcome = RunWriteJob(link, host, input);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_LE(test::ThreadCount(), threadsBefore);  // a radio that hung up has ended its own
        EXPECT_EQ(host.events.front(), "lock");
        EXPECT_EQ(host.events.back(), "unlock");
        EXPECT_EQ(host.positions.back(), -1);
        EXPECT_TRUE(host.workersOnOwnThread);
        EXPECT_TRUE(host.positionsFromWorker);
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
    std::vector<BoxAnswer> answers;
    bool succeeded;
    std::int32_t status;
    const char* lastStep;
    std::vector<std::string> captions;  // the boxes shown, in order
    int positionsBeforeReset;           // the bar's moves before the reset to -1
    Flash flash;
    const char* radioEnd;  // how the radio saw the job end
};

const std::string kConfirm = kConfirmationCaption;
const std::string kError = kErrorCaption;
const std::string kDone = kUpdaterCaption;

// clang-format off
const JobCase kCases[] = {
    {"acknowledged", {}, true, {BoxAnswer::Ok}, true, 0, "ClosePort",
     {kConfirm, kDone}, kTestBlocks + 1, Flash::Image, "end command"},
    {"streamed", {}, false, {BoxAnswer::Ok}, true, 0, "ClosePort",
     {kConfirm, kDone}, kTestBlocks + 1, Flash::Image, "end command"},
    {"cancelled", {}, true, {BoxAnswer::Cancel}, false, StatusCancelled, "ConfirmVersionChange",
     {kConfirm, kConfirm}, 0, Flash::Untouched, "cancelled"},
    {"wrong model", SimFault{SimFaultKind::WrongModel}, true, {}, false, StatusModelMismatch,
     "CheckModel", {kError}, 0, Flash::Untouched, "closed"},
    {"nak on block 3", SimFault{SimFaultKind::NakBlock, 3}, true, {BoxAnswer::Ok}, false, 0,
     "TransferBlocks", {kConfirm, kError}, 3, Flash::Any, "closed"},
    // The frame that makes the radio hang up has already been written: its position is set.
    {"hang-up at block 5", SimFault{SimFaultKind::HangupBlock, 5}, false, {BoxAnswer::Ok}, false,
     0, "TransferBlocks", {kConfirm, kError}, 6, Flash::Any, "hung up"},
    {"checksum refused", SimFault{SimFaultKind::BadChecksum}, true, {BoxAnswer::Ok}, false, 0,
     "SendChecksumFrame", {kConfirm, kError}, kTestBlocks + 1, Flash::Any, "closed"},
    {"silent before 0x5B", SimFault{SimFaultKind::SilentAfter, kCmd5B}, true, {BoxAnswer::Ok},
     false, StatusExchangeFailed, "SendCommand5B", {kConfirm, kError}, kTestBlocks + 1,
     Flash::Image, "closed"},
    {"silent at the end command", SimFault{SimFaultKind::SilentAfter, kCmdEnd}, true,
     {BoxAnswer::Ok}, false, StatusExchangeFailed, "SendEndCommand", {kConfirm, kError},
     kTestBlocks + 1, Flash::Image, "end command"},
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
        RecordingHost host(c.answers);
        const WriteJobOutcome outcome = RunJob(*sim, host, Input(image_->region1Blocks));

        EXPECT_EQ(outcome.succeeded, c.succeeded);
        EXPECT_EQ(outcome.status, c.status);
        ASSERT_FALSE(outcome.steps.empty());
        EXPECT_EQ(StepName(outcome.steps.back().step), c.lastStep);
        std::vector<std::string> captions;
        for (const auto& box : host.boxes) {
            captions.push_back(box.caption);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(static_cast<int>(host.positions.size()) - 1, c.positionsBeforeReset);
        if (c.succeeded) {
            EXPECT_EQ(host.boxes.back().text, kWritingCompletedMessage);
            EXPECT_EQ(host.boxes.back().icon, BoxIcon::Information);
        } else if (c.status != StatusCancelled) {
            EXPECT_EQ(host.boxes.back().icon, BoxIcon::Stop);
            EXPECT_EQ(host.boxes.back().text, outcome.closingMessage);
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

TEST_F(WriteJobTest, ClosingTextsFollowTheStatus) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    RecordingHost host;
    const WriteJobOutcome outcome = RunJob(*sim, host, Input(image_->region1Blocks), kNoSuchPort);
    EXPECT_EQ(outcome.status, StatusPortOpenFailed);
    ASSERT_EQ(outcome.steps.size(), 1u);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "The COM port cannot be opened.");
    EXPECT_EQ(host.boxes[0].caption, "Error");
    EXPECT_EQ(host.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(host.boxes[0].icon, BoxIcon::Stop);
}

// Empty blocks send nothing but move the bar and count in the rounds: 26 blocks with rounds
// of 10 resynchronise twice, before blocks 10 and 20. On a line with its byte times modelled,
// the radio has its 25 ms to program each block after the frame has left the line.
TEST_F(WriteJobTest, StreamedRoundsAndProgressCountEveryBlock) {
    RecordList blocks = image_->region1Blocks;
    blocks.insert(blocks.begin() + 12, HexRecord{});
    SimulatorOptions options = Radio();
    options.highSpeed = false;
    options.lineRate = true;
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    RecordingHost host({BoxAnswer::Ok});
    const WriteJobOutcome outcome = RunJob(*sim, host, Input(blocks, 10));

    ASSERT_TRUE(outcome.succeeded);
    EXPECT_FALSE(outcome.highSpeedConfirmed);
    std::vector<int> expected;
    for (int i = 0; i <= static_cast<int>(blocks.size()); ++i) {
        expected.push_back(i);
    }
    expected.push_back(-1);
    EXPECT_EQ(host.positions, expected);
    EXPECT_NE(std::find(host.events.begin(), host.events.end(), "range 0..26"), host.events.end());
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    EXPECT_EQ(report.resynchronisations, 2);
    EXPECT_EQ(report.jobLog[0].blocks, kTestBlocks);
    EXPECT_GE(report.jobLog[0].shortestProgrammingGapMs, kSimShortestGapMs);
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);
    EXPECT_EQ(sim->Flash(), test::Region1Of(image_->region1Blocks));
}

// The host asks the job to stop. Before the erase that is a cancel: the end command goes out
// once the radio has identified itself. After it the job stops between two frames and sends
// nothing more: the radio keeps its boot loader for the next write.
struct StopCase {
    const char* name;
    bool highSpeed;
    int stopAfterBoxes;
    int stopAtPosition;
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
    RecordingHost host({BoxAnswer::Ok});
    host.stopAfterBoxes = c.stopAfterBoxes;
    host.stopAtPosition = c.stopAtPosition;
    const WriteJobOutcome outcome = RunJob(*sim, host, Input(image_->region1Blocks, 10));

    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.interrupted, c.interrupted);
    if (c.interrupted) {
        EXPECT_EQ(outcome.closingMessage, kInterruptedMessage);
        EXPECT_EQ(outcome.blocksSent, c.stopAtPosition + 1);
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
    Host, JobStops,
    ::testing::Values(StopCase{"before_the_port_opens", true, 0, -1, false, nullptr},
                      StopCase{"after_the_confirmation", true, 1, -1, false, "cancelled"},
                      StopCase{"mid_transfer_acknowledged", true, -1, 5, true, "closed"},
                      StopCase{"mid_transfer_streamed", false, -1, 12, true, "closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteJobTest, ConfirmationNamesBothVersions) {
    struct Case {
        const char* version;
        bool noVersion;
        const char* text;
    };
    const Case cases[] = {
        {"SIM-0.9", false,
         " Please confirm the version change: \n Ver. SIM-0.9 -> Ver. TEST-1.0\nDo you want to "
         "continue?"},
        {"ABCDEFGHIJKLMNOP", false,
         " Please confirm the version change: \n Ver. ABCDEFGH -> Ver. TEST-1.0\nDo you want to "
         "continue?"},
        {"", true,
         " Please confirm the version change: \nNo Data -> Ver. TEST-1.0\nDo you want to "
         "continue?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        SimulatorOptions options = Radio();
        options.version = c.version;
        options.noVersion = c.noVersion;
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        RecordingHost host({BoxAnswer::Cancel});
        RunJob(*sim, host, Input(image_->region1Blocks));
        ASSERT_EQ(host.boxes.size(), 2u);
        EXPECT_EQ(host.boxes[0].text, c.text);
        EXPECT_EQ(host.boxes[0].caption, "Solvane Updater");
        EXPECT_EQ(host.boxes[0].buttons, BoxButtons::OkCancel);
        EXPECT_EQ(host.boxes[0].icon, BoxIcon::Exclamation);
        EXPECT_EQ(host.boxes[1].text, "Operation has been canceled");
        EXPECT_EQ(host.boxes[1].buttons, BoxButtons::Ok);
        EXPECT_EQ(host.boxes[1].icon, BoxIcon::Exclamation);
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
        RadioLink link;
        link.SetDevicePath(sim->DevicePath());
        RecordingHost host;
        const WriteJobOutcome outcome = RunIdentifyJob(link, host, UpdaterSettings{});
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(outcome.succeeded, c.succeeded);
        EXPECT_EQ(outcome.status, c.status);
        ASSERT_TRUE(outcome.identified);
        EXPECT_EQ(std::string(outcome.modelCode.begin(), outcome.modelCode.begin() + 8),
                  "MQV9051V");
        EXPECT_EQ(outcome.modelCode[15], c.modelTail);
        if (c.succeeded) {
            EXPECT_EQ(outcome.radioVersionText, "SIM-0.9");
            EXPECT_TRUE(host.boxes.empty());
        }
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        EXPECT_EQ(sim->Report().jobLog[0].end, c.radioEnd);
    }
}

// ModemManager holds a newly plugged port for a few seconds: a job that finds its port busy
// opens it once the holder lets go, within its retry time, and goes on. The wait runs on a
// worker, as the link-up does.
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
    RadioLink link;
    link.SetDevicePath(sim->DevicePath());
    RecordingHost host;
    const auto start = std::chrono::steady_clock::now();
    const WriteJobOutcome outcome = RunIdentifyJob(link, host, UpdaterSettings{});
    const auto took = std::chrono::steady_clock::now() - start;
    release.join();
    EXPECT_TRUE(outcome.succeeded) << outcome.status;
    EXPECT_GE(took, 900ms);
    EXPECT_EQ(host.workersRun, 2);  // the wait for the port, then the link-up
    EXPECT_TRUE(host.workersOnOwnThread);
}

}  // namespace
}  // namespace qv
