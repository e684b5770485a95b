// qv-flash station against radios that come in turn on their ports, as at a service bench.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "flash_process.h"
#include "image/load_image.h"
#include "job_test_support.h"
#include "serial/port_table.h"
#include "sim/simulator.h"
#include "terminal_process.h"
#include "workflow/json_line.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::ProcessResult;

constexpr int kBlocks = 25;

// A simulator of radios in turn that keeps region 1 as each radio left it.
struct Bench {
    explicit Bench(SimulatorOptions options) {
        options.onJobEnd = [this](const SimReport&, std::span<const std::uint8_t> flash) {
            std::lock_guard lock(mutex);
            flashes.emplace_back(flash.begin(), flash.end());
        };
        sim = Simulator::Start(options);
    }
    std::vector<std::vector<std::uint8_t>> Flashes() {
        std::lock_guard lock(mutex);
        return flashes;
    }
    std::unique_ptr<Simulator> sim;
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> flashes;
};

class StationTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(test::MakeTempDir());
        test::WriteTestMot(MotPath(), kBlocks);
        image_ = new LoadedImage(LoadAndCheckImage(256, MotPath(), 1, {}));
    }
    static void TearDownTestSuite() {
        delete image_;
        delete dir_;
    }
    static std::string MotPath() { return *dir_ + "/small.mot"; }

    static SimulatorOptions Radios(int count) {
        SimulatorOptions options;
        options.listenSpeed = 9600;  // the first speed probed
        options.radios = count;
        options.between = 0ms;
        return options;
    }

    static std::vector<std::string> StationArgs(const std::vector<std::string>& ports,
                                                const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"station", "qzx", "--mot", MotPath()};
        for (const std::string& port : ports) {
            args.insert(args.end(), {"--port", port});
        }
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    static std::vector<std::string> RecordLines(const std::string& path) {
        std::ifstream file(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    static std::string Field(const std::string& line, const std::string& key) {
        const std::string start = "\"" + key + "\":";
        const std::size_t at = line.find(start);
        if (at == std::string::npos) {
            return {};
        }
        const std::size_t end = line.find_first_of(",}", at + start.size());
        return line.substr(at + start.size(), end - at - start.size());
    }

    static std::string* dir_;
    static LoadedImage* image_;
};

std::string* StationTest::dir_ = nullptr;
LoadedImage* StationTest::image_ = nullptr;

// Asked once, then three radios written one after the other, each recorded with its own
// identification.
TEST_F(StationTest, ThreeRadiosInTurnOnOnePort) {
    Bench bench(Radios(3));
    ASSERT_NE(bench.sim, nullptr);
    const std::string record = *dir_ + "/three.jsonl";
    const ProcessResult run = test::RunQvFlash(
        StationArgs({bench.sim->DevicePath()}, {"--count", "3", "--record", record}), "y\n");

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.out), "Updated 3 radios, 0 failed, 0 refused.");
    EXPECT_EQ(run.out.find("Continue? [y/N]"), run.out.rfind("Continue? [y/N]")) << "asked once";
    const auto flashes = bench.Flashes();
    ASSERT_EQ(flashes.size(), 3u);
    for (const auto& flash : flashes) {
        EXPECT_TRUE(flash == test::Region1Of(image_->region1Blocks));
    }
    const std::vector<std::string> lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 3u);
    std::set<std::string> radios;
    for (const std::string& line : lines) {
        EXPECT_EQ(Field(line, "outcome"), "\"updated\"") << line;
        radios.insert(Field(line, "identification"));
    }
    EXPECT_EQ(radios.size(), 3u) << "each radio tells its own identification";
    EXPECT_TRUE(bench.sim->Report().deviations.empty());
}

TEST_F(StationTest, TwoPortsWithTwoRadiosEach) {
    Bench first(Radios(2));
    Bench second(Radios(2));
    ASSERT_NE(first.sim, nullptr);
    ASSERT_NE(second.sim, nullptr);
    const std::string record = *dir_ + "/two-ports.jsonl";
    const ProcessResult run =
        test::RunQvFlash(StationArgs({first.sim->DevicePath(), second.sim->DevicePath()},
                                     {"--yes", "--count", "4", "--record", record}));

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.out), "Updated 4 radios, 0 failed, 0 refused.");
    EXPECT_EQ(RecordLines(record).size(), 4u);
    for (Bench* bench : {&first, &second}) {
        EXPECT_EQ(bench->Flashes().size(), 2u);
        EXPECT_TRUE(bench->sim->Finished()) << "both radios of the port have left";
    }
}

// Radios answer on both ports at once: no radio is begun once --count radios have ended or are
// being written, and the radios begun are finished and counted. A radio waiting on the other
// port is left in its boot loader for the next run: never identified, sent away or recorded.
TEST_F(StationTest, CountIsKeptAcrossPorts) {
    struct Case {
        int radiosPerPort;
        int count;
    };
    for (const Case& c : {Case{1, 1}, Case{2, 3}}) {
        SCOPED_TRACE("--count " + std::to_string(c.count));
        Bench first(Radios(c.radiosPerPort));
        Bench second(Radios(c.radiosPerPort));
        ASSERT_NE(first.sim, nullptr);
        ASSERT_NE(second.sim, nullptr);
        const std::string record = *dir_ + "/count-" + std::to_string(c.count) + ".jsonl";
        const ProcessResult run = test::RunQvFlash(
            StationArgs({first.sim->DevicePath(), second.sim->DevicePath()},
                        {"--yes", "--count", std::to_string(c.count), "--record", record}));

        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::vector<std::string> lines = RecordLines(record);
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(c.count)) << run.err;
        for (const std::string& line : lines) {
            EXPECT_EQ(Field(line, "outcome"), "\"updated\"") << line;
        }
        EXPECT_EQ(ProcessResult::LastLine(run.out), "Updated " + std::to_string(c.count) +
                                                        (c.count == 1 ? " radio" : " radios") +
                                                        ", 0 failed, 0 refused.")
            << run.err;
        int written = 0;
        for (Bench* bench : {&first, &second}) {
            for (const SimJobRecord& job : bench->sim->Report().jobLog) {
                EXPECT_TRUE(job.blocks == 0 || job.blocks == kBlocks) << "none left half written";
                EXPECT_NE(job.end, "cancelled") << "a radio was sent out of its boot loader";
                written += job.blocks == kBlocks ? 1 : 0;
            }
        }
        EXPECT_EQ(written, c.count);
    }
}

// Another model is refused, recorded and sent away; the next radio is written.
TEST_F(StationTest, AWrongModelInTheMiddleIsRefused) {
    SimulatorOptions options = Radios(3);
    options.faults = {{SimFaultKind::WrongModel, 2}};
    Bench bench(options);
    ASSERT_NE(bench.sim, nullptr);
    const std::string record = *dir_ + "/wrong-model.jsonl";
    const ProcessResult run = test::RunQvFlash(StationArgs(
        {bench.sim->DevicePath()}, {"--yes", "--count", "3", "--record", record, "--json"}));

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find(": Wrong model on "), std::string::npos) << run.err;
    const std::vector<std::string> lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Field(lines[1], "outcome"), "\"refused\"");
    EXPECT_EQ(Field(lines[2], "outcome"), "\"updated\"");
    EXPECT_NE(run.out.find(lines[1]), std::string::npos) << "--json prints each radio";
    const SimReport report = bench.sim->Report();
    ASSERT_EQ(report.jobLog.size(), 3u);
    EXPECT_EQ(report.jobLog[1].end, "cancelled");
    EXPECT_EQ(report.jobLog[1].blocks, 0);
    EXPECT_EQ(report.jobLog[2].blocks, kBlocks);
    EXPECT_TRUE(report.deviations.empty()) << SimReportToJson(report);
}

// Ctrl+C while the second radio is written: it is finished first, then the station ends with
// its summary; the third radio is not touched.
TEST_F(StationTest, CtrlCFinishesTheRadioBeingWritten) {
    SimulatorOptions options = Radios(3);
    options.highSpeed = false;
    options.lineRate = true;  // a few seconds a radio
    Bench bench(options);
    ASSERT_NE(bench.sim, nullptr);
    test::QvFlashOnTerminal run(StationArgs({bench.sim->DevicePath()}, {"--yes"}));
    ASSERT_TRUE(run.WaitForOutput("Updated 1 radio,", 60s)) << run.Output();
    ASSERT_TRUE(run.WaitForOutput("Writing block", 30s, run.Output().size())) << run.Output();
    run.Type("\x03");
    EXPECT_EQ(run.Wait(60s), 0) << run.Output();
    EXPECT_EQ(run.LastLine(), "Updated 2 radios, 0 failed, 0 refused.") << run.Output();
    const SimReport report = bench.sim->Report();
    ASSERT_EQ(report.jobLog.size(), 2u);
    EXPECT_EQ(report.jobLog[1].end, "end command");
    EXPECT_EQ(report.jobLog[1].blocks, kBlocks);
}

// Between two radios nobody answers the link-up: that is no error and is not told as one.
TEST_F(StationTest, SilentRoundsAreNoErrors) {
    SimulatorOptions options = Radios(2);
    options.between = 300ms;
    Bench bench(options);
    ASSERT_NE(bench.sim, nullptr);
    const ProcessResult run =
        test::RunQvFlash(StationArgs({bench.sim->DevicePath()}, {"--yes", "--count", "2"}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.out), "Updated 2 radios, 0 failed, 0 refused.");
    EXPECT_EQ(run.err.find("Link-up"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Ensure that all connections"), std::string::npos) << run.err;
}

// A script reads the station's stdout as JSON lines to the end, the summary included, and the
// record names the device the radio was on though the port was given by its number.
TEST_F(StationTest, JsonLinesToTheEndAndRecordsNameTheDevice) {
    Bench bench(Radios(1));
    ASSERT_NE(bench.sim, nullptr);
    const std::string device = bench.sim->DevicePath();
    setenv("QV_SERIAL_PORTS", device.c_str(), 1);
    std::string number;
    for (const PortInfo& port : ListPorts()) {
        if (port.device == device) {
            number = std::to_string(port.number);
        }
    }
    unsetenv("QV_SERIAL_PORTS");
    ASSERT_FALSE(number.empty());
    const std::string record = *dir_ + "/by-number.jsonl";
    const ProcessResult run = test::RunQvFlash(
        StationArgs({number}, {"--yes", "--count", "1", "--json", "--record", record}), "",
        {"QV_SERIAL_PORTS=" + device});

    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<JsonValue> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(JsonValue::parse(line, nullptr, false));
        EXPECT_FALSE(lines.back().is_discarded()) << "not JSON: " << line;
    }
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0]["port"], device);
    EXPECT_EQ(lines[1]["summary"], "Updated 1 radio, 0 failed, 0 refused.");
    EXPECT_EQ(lines[1]["updated"], 1);
    EXPECT_EQ(lines[1]["exitCode"], 0);
    const std::vector<std::string> recorded = RecordLines(record);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(JsonValue::parse(recorded[0])["port"], device);
}

// The radio's cable is out when the station starts and comes in five seconds later: the station
// says so once, not a line a second, and writes the radio once its port is there.
TEST_F(StationTest, APortThatIsNotThereIsToldOnceAndWaitedFor) {
    Bench bench(Radios(1));
    ASSERT_NE(bench.sim, nullptr);
    const std::string cable = *dir_ + "/cable-later";
    unlink(cable.c_str());
    std::thread plugIn([&] {
        std::this_thread::sleep_for(5s);
        EXPECT_EQ(symlink(bench.sim->DevicePath().c_str(), cable.c_str()), 0);
    });
    const ProcessResult run = test::RunQvFlash(StationArgs({cable}, {"--yes", "--count", "1"}));
    plugIn.join();
    unlink(cable.c_str());

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ProcessResult::LastLine(run.out), "Updated 1 radio, 0 failed, 0 refused.");
    std::size_t told = 0;
    for (std::size_t at = run.err.find("no such device"); at != std::string::npos;
         at = run.err.find("no such device", at + 1)) {
        ++told;
    }
    EXPECT_EQ(told, 1u) << run.err;
    EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 8) << run.err;
    EXPECT_EQ(bench.Flashes().size(), 1u);
}

// A port waited for that turns out to be no serial port (a file appears at its path) is given
// up: the station ends with 4 instead of retrying for ever.
TEST_F(StationTest, APortThatTurnsOutNoSerialPortIsGivenUp) {
    const std::string path = *dir_ + "/becomes-a-file";
    unlink(path.c_str());
    std::thread appear([&] {
        std::this_thread::sleep_for(2s);
        std::ofstream(path) << "not a port\n";
    });
    const ProcessResult run = test::RunQvFlash(StationArgs({path}, {"--yes"}));
    appear.join();
    unlink(path.c_str());

    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_NE(run.err.find(path + " is not a serial port"), std::string::npos) << run.err;
    EXPECT_LT(run.elapsed, 10s);
}

}  // namespace
}  // namespace qv
