// qv-flash write and identify, run as programs against simulated radios on pseudo-terminals.

#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <thread>

#include "flash_process.h"
#include "image/image_mirror.h"
#include "image/load_image.h"
#include "job_test_support.h"
#include "serial/serial_link.h"
#include "shim_serial_flags.h"
#include "sim/simulator.h"
#include "workflow/json_line.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::ProcessResult;

constexpr int kTestBlocks = 25;
constexpr const char* kCompleted = "Writing completed.";
constexpr const char* kConnectionLastLine = "Please try again.";

class QvFlashTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(test::MakeTempDir());
        test::WriteTestMot(MotPath(), kTestBlocks);
        image_ = new LoadedImage(LoadAndCheckImage(256, MotPath(), 1, {}));
    }
    static void TearDownTestSuite() {
        delete image_;
        delete dir_;
    }
    static std::string MotPath() { return *dir_ + "/small.mot"; }

    static SimulatorOptions Radio() {
        SimulatorOptions options;
        options.listenSpeed = 9600;  // the first speed probed: no time lost in the link-up
        return options;
    }

    // write with the designer word and the small file, then the case's own arguments.
    static std::vector<std::string> WriteArgs(const std::string& port,
                                              const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"write", "--port", port, "qzx", "--mot", MotPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    static bool HoldsImage(const Simulator& sim) {
        return sim.Flash() == test::Region1Of(image_->region1Blocks);
    }

    static std::string* dir_;
    static LoadedImage* image_;
};

std::string* QvFlashTest::dir_ = nullptr;
LoadedImage* QvFlashTest::image_ = nullptr;

enum class Flash { Image, Untouched, Any };

struct WriteCase {
    const char* name;
    void (*radio)(SimulatorOptions&);
    std::vector<std::string> arguments;
    const char* input;  // what the user types at the prompt
    int exitCode;
    const char* lastLine;  // of stdout after a success, of stderr otherwise
    Flash flash;
};

void Plain(SimulatorOptions&) {}

// clang-format off
const WriteCase kWriteCases[] = {
    {"acknowledged", Plain, {"--yes"}, "", 0, kCompleted, Flash::Image},
    {"streamed", [](SimulatorOptions& o) { o.highSpeed = false; o.lineRate = true; }, {"--yes"},
     "", 0, kCompleted, Flash::Image},
    {"acknowledged at line rate", [](SimulatorOptions& o) { o.lineRate = true; }, {"--yes"}, "",
     0, kCompleted, Flash::Image},
    {"yes at the prompt", Plain, {}, "y\n", 0, kCompleted, Flash::Image},
    {"radio listening at 4800", [](SimulatorOptions& o) { o.listenSpeed = 4800; }, {"--yes"}, "",
     0, kCompleted, Flash::Image},
    {"one stop bit", [](SimulatorOptions& o) { o.stopBits = 1; }, {"--yes", "--stop-bits", "1"},
     "", 0, kCompleted, Flash::Image},
    {"no at the prompt", Plain, {}, "n\n", 6, "Operation has been canceled", Flash::Untouched},
    {"no answer at the prompt", Plain, {}, "", 6, "Operation has been canceled",
     Flash::Untouched},
    {"wrong model", [](SimulatorOptions& o) { o.faults = {{SimFaultKind::WrongModel}}; },
     {"--yes"}, "", 5, "Check Model Name and Market Code.", Flash::Untouched},
    {"nak on a block", [](SimulatorOptions& o) { o.faults = {{SimFaultKind::NakBlock, 3}}; },
     {"--yes"}, "", 1, kConnectionLastLine, Flash::Any},
    {"hang-up mid-transfer",
     [](SimulatorOptions& o) { o.faults = {{SimFaultKind::HangupBlock, 10}}; }, {"--yes"}, "", 1,
     kConnectionLastLine, Flash::Any},
    {"checksum refused", [](SimulatorOptions& o) { o.faults = {{SimFaultKind::BadChecksum}}; },
     {"--yes"}, "", 1, kConnectionLastLine, Flash::Any},
};
// clang-format on

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteCaseTest : public QvFlashTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteCaseTest, EndsWithItsMessageAndExitCode) {
    const WriteCase& c = GetParam();
    SimulatorOptions options = Radio();
    c.radio(options);
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const std::vector<std::uint8_t> oldFlash = sim->Flash();

    const ProcessResult run = test::RunQvFlash(WriteArgs(sim->DevicePath(), c.arguments), c.input);

    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    const std::string& lastStream = c.exitCode == 0 ? run.out : run.err;
    EXPECT_EQ(ProcessResult::LastLine(lastStream), c.lastLine) << run.out << run.err;
    if (c.exitCode != 0) {
        EXPECT_EQ(run.out.find(kCompleted), std::string::npos);
        EXPECT_EQ(run.err.find(kCompleted), std::string::npos);
    }
    // The radio saw the job end: the port was closed on this way out too.
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    if (c.flash == Flash::Image) {
        EXPECT_TRUE(HoldsImage(*sim));
        EXPECT_TRUE(report.deviations.empty()) << report.deviations.front().message;
    } else if (c.flash == Flash::Untouched) {
        EXPECT_EQ(sim->Flash(), oldFlash);
    }
    if (c.exitCode == 6) {
        EXPECT_NE(run.out.find("Continue? [y/N]"), std::string::npos);
        EXPECT_EQ(report.jobLog.at(0).end, "cancelled");  // the end command went out
    }
}

std::string CaseName(const ::testing::TestParamInfo<WriteCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p != 0; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) != 0 ? *p : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Write, WriteCaseTest, ::testing::ValuesIn(kWriteCases), CaseName);

// Two resynchronisations for 25 blocks in rounds of 10, and the confirmation of a radio
// that holds no version.
TEST_F(QvFlashTest, StreamedRoundsAndNoVersion) {
    SimulatorOptions options = Radio();
    options.highSpeed = false;
    options.lineRate = true;
    options.noVersion = true;
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const ProcessResult run =
        test::RunQvFlash(WriteArgs(sim->DevicePath(), {"--yes", "--rounds", "10"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // --yes tells the version change, and asks nothing.
    EXPECT_NE(run.out.find(" Please confirm the version change: \nNo Data -> Ver. TEST-1.0\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("Do you want to continue?"), std::string::npos) << run.out;
    ASSERT_TRUE(sim->WaitForJobs(1, 10s));
    const SimReport report = sim->Report();
    EXPECT_EQ(report.resynchronisations, 2);
    EXPECT_EQ(report.jobLog.at(0).transfer, "streamed");
    EXPECT_GE(report.jobLog.at(0).shortestProgrammingGapMs, kSimShortestGapMs);
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);
    EXPECT_TRUE(HoldsImage(*sim));
}

// Every trace line shows the bytes as sent and as on the wire: the same without the mask,
// different with it; the record line carries the checksum the image gives.
TEST_F(QvFlashTest, TraceShowsTheMaskAndRecordAppendsALine) {
    struct Case {
        bool unencrypted;
        bool masked;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(c.unencrypted ? "unencrypted" : "masked");
        auto sim = Simulator::Start(Radio());
        ASSERT_NE(sim, nullptr);
        const std::string record = *dir_ + "/record.jsonl";
        std::vector<std::string> extra = {"--yes", "--trace", "--record", record};
        if (c.unencrypted) {
            extra.push_back("--unencrypted");
        }
        const ProcessResult run = test::RunQvFlash(WriteArgs(sim->DevicePath(), extra));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        EXPECT_EQ(sim->Report().jobLog.at(0).masked, c.masked);
        EXPECT_TRUE(HoldsImage(*sim));

        int lines = 0;
        int differing = 0;
        std::istringstream trace(run.err);
        for (std::string line; std::getline(trace, line);) {
            const auto data = line.find(" data: ");
            const auto wire = line.find(" wire: ");
            if (data == std::string::npos || wire == std::string::npos) {
                continue;
            }
            ++lines;
            differing += line.substr(data + 7, wire - data - 7) != line.substr(wire + 7) ? 1 : 0;
        }
        EXPECT_GT(lines, kTestBlocks);
        EXPECT_EQ(differing > 0, c.masked);

        std::ifstream file(record);
        std::string last;
        for (std::string line; std::getline(file, line);) {
            last = line;
        }
        char checksum[32];
        std::snprintf(checksum, sizeof checksum, "\"checksum\":\"0x%04X\"",
                      Region1Checksum(image_->region1Blocks));
        EXPECT_NE(last.find(checksum), std::string::npos) << last;
        EXPECT_NE(last.find("\"result\":\"Writing completed.\""), std::string::npos) << last;
        EXPECT_NE(last.find("\"oldVersion\":\"SIM-0.9\",\"newVersion\":\"TEST-1.0\""),
                  std::string::npos)
            << last;
    }
}

TEST_F(QvFlashTest, SeveralRadiosAtOnceWorstCodeWins) {
    auto first = Simulator::Start(Radio());
    auto second = Simulator::Start(Radio());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const ProcessResult both =
        test::RunQvFlash(WriteArgs(first->DevicePath(), {"--yes", "--port", second->DevicePath()}));
    EXPECT_EQ(both.exitCode, 0) << both.err;
    EXPECT_EQ(ProcessResult::LastLine(both.out), "Updated 2 of 2 radios.");
    EXPECT_NE(both.out.find(first->DevicePath() + ": Writing completed."), std::string::npos);
    EXPECT_NE(both.out.find(second->DevicePath() + ": Writing completed."), std::string::npos);
    ASSERT_TRUE(first->WaitForJobs(1, 10s));
    ASSERT_TRUE(second->WaitForJobs(1, 10s));
    EXPECT_TRUE(HoldsImage(*first));
    EXPECT_TRUE(HoldsImage(*second));

    const ProcessResult mixed = test::RunQvFlash(
        WriteArgs(first->DevicePath(), {"--yes", "--port", "/dev/qv-no-such-port"}));
    EXPECT_EQ(mixed.exitCode, 4);
    EXPECT_EQ(ProcessResult::LastLine(mixed.err), "Updated 1 of 2 radios.");
    EXPECT_NE(mixed.err.find("/dev/qv-no-such-port: The COM port cannot be opened."),
              std::string::npos);

    const ProcessResult json = test::RunQvFlash(
        WriteArgs(first->DevicePath(), {"--yes", "--json", "--port", "/dev/qv-no-such-port"}));
    EXPECT_EQ(json.exitCode, 4);
    EXPECT_EQ(json.out.rfind("{\"radios\":[{", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"result\":\"Writing completed.\""), std::string::npos);
    EXPECT_NE(json.out.find("\"name\":\"ClosePort\",\"succeeded\":true"), std::string::npos);
    EXPECT_NE(json.out.find("\"exitCode\":4}\n"), std::string::npos) << json.out;
    std::istringstream lines(json.out);  // JSON alone, one object a line, to the end
    for (std::string line; std::getline(lines, line);) {
        EXPECT_FALSE(JsonValue::parse(line, nullptr, false).is_discarded()) << line;
    }
}

// The system refuses the second radio's thread (a limit on threads): that radio is reported
// and recorded untouched, the first is updated, and the program ends with its summary.
TEST_F(QvFlashTest, ARadioWhoseThreadIsRefusedIsReportedAndTheOthersGoOn) {
    auto first = Simulator::Start(Radio());
    auto second = Simulator::Start(Radio());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::string record = *dir_ + "/refused-thread.jsonl";
    const ProcessResult run =
        test::RunQvFlash(WriteArgs(first->DevicePath(),
                                   {"--yes", "--port", second->DevicePath(), "--record", record}),
                         "",
                         {"LD_PRELOAD=" QV_THREAD_REFUSAL_SHIM, "QV_SHIM_REFUSE_THREAD=2",
                          "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.out.find(first->DevicePath() + ": Writing completed."), std::string::npos);
    EXPECT_NE(run.err.find(second->DevicePath() + ": No thread could be started"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.err), "Updated 1 of 2 radios.");
    ASSERT_TRUE(first->WaitForJobs(1, 10s));
    EXPECT_TRUE(HoldsImage(*first));
    EXPECT_EQ(second->Report().probesAnswered, 0);

    std::ifstream file(record);
    int lines = 0;
    for (std::string line; std::getline(file, line);) {
        ++lines;
    }
    EXPECT_EQ(lines, 2);
}

// A radio's record line is written when it ends, not when the last radio does: a later
// failure or a killed program keeps it.
TEST_F(QvFlashTest, EachRadioIsRecordedWhenItEnds) {
    auto quick = Simulator::Start(Radio());
    SimulatorOptions silent = Radio();
    silent.faults = {{SimFaultKind::SilentLinkup}};  // 19 s of link-up
    auto slow = Simulator::Start(silent);
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(slow, nullptr);
    const std::string record = *dir_ + "/each-radio.jsonl";
    test::RunningQvFlash run(WriteArgs(
        quick->DevicePath(), {"--yes", "--port", slow->DevicePath(), "--record", record}));

    const std::string quickLine = "\"port\":\"" + quick->DevicePath() + "\"";
    std::string recorded;
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (recorded.find(quickLine) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        std::ifstream file(record);
        recorded.assign(std::istreambuf_iterator<char>(file), {});
    }
    EXPECT_TRUE(run.Running()) << "the silent radio's link-up should still run";
    run.Kill();
    EXPECT_NE(recorded.find(quickLine), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\"result\":\"Writing completed.\""), std::string::npos);
}

// Nothing reaches a radio when the command line is refused: bad --record paths, designer
// options without the word (also empty ones), more ports than the table holds, unknown words.
TEST_F(QvFlashTest, RefusedBeforeAnyRadio) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    const std::string port = sim->DevicePath();
    const std::string fifo = *dir_ + "/record.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> manyPorts = {"write", "--yes"};
    for (int i = 0; i <= 256; ++i) {
        manyPorts.insert(manyPorts.end(), {"--port", "/dev/qv-port-" + std::to_string(i)});
    }
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string said;  // part of stderr
    };
    const std::string noFile = *dir_ + "/missing.mot";
    const Case cases[] = {
        {{"write", "--port", port, "--yes", "--record", *dir_}, 2, "it is a directory"},
        {{"write", "--port", port, "--yes", "--record", fifo}, 2, "not a regular file"},
        {{"write", "--port", port, "--yes", "--record", *dir_ + "/no/such/dir.jsonl"},
         2,
         "cannot record to"},
        {{"write", "--port", port, "--yes", "--mot", ""}, 2, "need the designer word"},
        {{"write", "--port", port, "--yes", "--max-buffer", ""}, 2, "--max-buffer"},
        {{"write", "--port", port, "--yes", "qzx", "--stop-bits", ""}, 2, "--stop-bits"},
        {{"write", "--port", port, "--rounds", "20"}, 2, "need the designer word"},
        {{"write", "--port", port, "qzx", "--rounds", "25"}, 2, "--rounds"},
        {{"write", "--port", port, "other"}, 2, "unexpected argument: other"},
        {{"write", "--port", port, "--bogus"}, 2, "--bogus"},
        {{"wirte", "--port", port}, 2, "unknown command: wirte"},
        {{"write", "--port", "0"}, 2, "not a port: 0"},
        {{"write", "--port", port, "--port", port}, 2, "port given twice"},
        {manyPorts, 2, "more than 256 ports"},
        {{"write", "--port", "256", "--yes"}, 4, "no port 256 in the port table"},
        {{"write", "--port", port, "QZX", "--mot", noFile},
         3,
         "The firmware file selected is not valid for this model."},
        {{"write", "--port", "/dev/qv-no-such-port", "--yes"}, 4, "The COM port cannot be opened."},
        {{"identify", "--port", "/dev/qv-no-such-port"}, 4, "/dev/qv-no-such-port: no such device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        const ProcessResult run = test::RunQvFlash(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
    const SimReport report = sim->Report();
    EXPECT_EQ(report.bytes + report.garbledBytes, 0) << "a refused command line reached the radio";
}

// Several radios are identified first and asked about once, in one table; the one answer
// goes to each. A port that does not open does not hold the question up.
TEST_F(QvFlashTest, SeveralRadiosAreAskedOnce) {
    struct Case {
        const char* answer;
        int exitCode;
        const char* radioEnd;
    };
    // The port that did not open makes the exit code 4 either way.
    for (const Case& c : {Case{"y\n", 4, "end command"}, Case{"n\n", 4, "cancelled"}}) {
        SCOPED_TRACE(c.answer);
        auto first = Simulator::Start(Radio());
        auto second = Simulator::Start(Radio());
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        const ProcessResult run = test::RunQvFlash(
            WriteArgs(first->DevicePath(),
                      {"--port", second->DevicePath(), "--port", "/dev/qv-no-such-port"}),
            c.answer);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        const std::string question = " Please confirm the version change of 2 radios:\n  " +
                                     first->DevicePath() +
                                     "  MQV9051V  Ver. SIM-0.9 -> Ver. "
                                     "TEST-1.0\n  " +
                                     second->DevicePath();
        EXPECT_NE(run.out.find(question), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Continue? [y/N]"), run.out.rfind("Continue? [y/N]")) << run.out;
        for (const Simulator* sim : {first.get(), second.get()}) {
            ASSERT_TRUE(sim->WaitForJobs(1, 10s));
            EXPECT_EQ(sim->Report().jobLog.at(0).end, c.radioEnd);
        }
    }
}

// UTF-8 passes through the JSON as it is; a radio's bytes that are no UTF-8 are replaced.
TEST_F(QvFlashTest, JsonKeepsUtf8AndReplacesOtherBytes) {
    SimulatorOptions options = Radio();
    options.version = "V\xFF\xC3\xA9";  // a stray byte, then a well-formed e-acute
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const std::string link = *dir_ + "/p\xC3\xB6rt";  // "pört"
    ASSERT_EQ(symlink(sim->DevicePath().c_str(), link.c_str()), 0);
    const ProcessResult run = test::RunQvFlash({"identify", "--port", link, "--json"});
    unlink(link.c_str());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"port\":\"" + link + "\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"version\":\"V\xEF\xBF\xBD\xC3\xA9\""), std::string::npos) << run.out;
}

TEST_F(QvFlashTest, IdentifyTellsModelAndVersion) {
    struct Case {
        const char* version;
        bool noVersion;
        std::vector<std::string> extra;
        std::string expected;
    };
    const std::string model = "4D51563930353156FFFFFFFFFFFFFFFF";
    const Case cases[] = {
        {"SIM-0.9", false, {}, "model: " + model + "\nversion: SIM-0.9\n"},
        {"SIM-0.9", true, {}, "model: " + model + "\nversion: No Data\n"},
        {"SIM-0.9", false, {"--json"}, "\"model\":\"" + model + "\",\"version\":\"SIM-0.9\""},
        // A radio's bytes never reach the terminal as a control sequence.
        {"A\x1b[2JB", false, {}, "version: A\\x1B[2JB\n"},
    };
    for (const Case& c : cases) {
        SimulatorOptions options = Radio();
        options.version = c.version;
        options.noVersion = c.noVersion;
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        std::vector<std::string> args = {"identify", "--port", sim->DevicePath()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ProcessResult run = test::RunQvFlash(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        EXPECT_EQ(sim->Report().jobLog.at(0).end, "cancelled");
    }
}

// Nothing answers at any speed: about 19 s of link-up, then one line on what was heard
// before the connection message.
TEST_F(QvFlashTest, SilentRadio) {
    SimulatorOptions options = Radio();
    options.faults = {{SimFaultKind::SilentLinkup}};
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    const ProcessResult run = test::RunQvFlash(WriteArgs(sim->DevicePath(), {"--yes"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_GE(run.elapsed, 15s);
    EXPECT_LE(run.elapsed, 40s);
    EXPECT_NE(run.err.find("Link-up: heard nothing at any speed (9600, 19200, 4800, 2400, 1200, "
                           "38400, 57600 baud).\nEnsure that all connections"),
              std::string::npos)
        << run.err;
    // The steps in the window's words: each speed as it is tried, then the outcome.
    const std::string port = sim->DevicePath();
    EXPECT_NE(
        run.err.find("Opening " + port + "\nLooking for the radio on " + port + " (9600 bps)...\n"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Looking for the radio on " + port + " (57600 bps)...\nNo radio " +
                           "answered on " + port + " at any speed\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.err), kConnectionLastLine);
}

// A USB cable whose driver the preloaded shim plays, behind an adapter that holds each reply
// 16 ms: qv-flash asks for low latency as it opens the port, the replies then wait 1 ms, and
// the port's serial flags are as they were once the job is over. A driver that refuses the
// flag costs the job time, not its success.
TEST_F(QvFlashTest, AUsbCableGetsLowLatencyAndItsFlagsBack) {
    const std::string flags = *dir_ + "/serial-flags";
    std::filesystem::create_directories(flags);
    ASSERT_EQ(setenv("QV_SHIM_SERIAL_DIR", flags.c_str(), 1), 0);  // for the radio's adapter
    constexpr unsigned kBefore = ASYNC_SPD_HI | ASYNC_SKIP_TEST;
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "flag refused" : "flag taken");
        SimulatorOptions options = Radio();
        options.adapter.latency = 16ms;
        options.adapter.lowLatency = ShimLowLatencyProbe();
        auto sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        const std::string port = sim->DevicePath();
        ASSERT_TRUE(test::WriteShimFlags(flags, port, kBefore));
        std::vector<std::string> environment = {
            "LD_PRELOAD=" QV_USB_SERIAL_SHIM, "QV_SHIM_SERIAL_DIR=" + flags,
            "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"};
        if (refused) {
            environment.push_back("QV_SHIM_REFUSE_SERIAL_FLAGS=1");
        }
        const ProcessResult run =
            test::RunQvFlash(WriteArgs(port, {"--yes", "--trace"}), "", environment);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string opened =
            "open " + port + ": " + (refused ? "no latency timer known" : "low latency on");
        EXPECT_NE(run.err.find(opened), std::string::npos) << run.err;
        ASSERT_TRUE(sim->WaitForJobs(1, 10s));
        const SimReport report = sim->Report();
        EXPECT_GT(report.repliesHeld, kTestBlocks);
        EXPECT_EQ(report.repliesHeldLowLatency, refused ? 0 : report.repliesHeld);
        EXPECT_TRUE(HoldsImage(*sim));
        EXPECT_EQ(test::ReadShimFlags(flags, port), kBefore);
    }
    unsetenv("QV_SHIM_SERIAL_DIR");
}

// A port another program holds all through: the job tries it again for 3 s, then the hint
// names who may hold it, ModemManager probing a new adapter among them.
TEST_F(QvFlashTest, ABusyPortIsTriedAgainThenTheHintNamesWhoMayHoldIt) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    const std::string port = sim->DevicePath();
    SerialLink holder;
    holder.SetDevicePath(port);
    ASSERT_TRUE(holder.Open());
    const ProcessResult run = test::RunQvFlash(WriteArgs(port, {"--yes"}));
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_GE(run.elapsed, 2900ms);
    EXPECT_LT(run.elapsed, 20s);
    EXPECT_NE(run.err.find(port + " is in use by another program; trying again for 3 s\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(port + " is in use by another program: "), std::string::npos);
    EXPECT_NE(run.err.find("ModemManager is probing an adapter just plugged in"), std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace qv
