// The record as a service shop relies on it, with qv-flash run as a program against simulated
// radios: a disk that fills up part-way through a line, and every failure under --json as one
// JSON object on stdout.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "flash_process.h"
#include "job_test_support.h"
#include "sim/simulator.h"
#include "workflow/json_line.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::ProcessResult;

constexpr int kBlocks = 25;
constexpr const char* kDiskFull = "1 radio not recorded: No space left on device";

class RecordTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(test::MakeTempDir());
        test::WriteTestMot(MotPath(), kBlocks);
    }
    static void TearDownTestSuite() { delete dir_; }
    static std::string MotPath() { return *dir_ + "/small.mot"; }

    static SimulatorOptions Radio() {
        SimulatorOptions options;
        options.listenSpeed = 9600;  // the first speed probed
        return options;
    }

    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    static std::string* dir_;
};

std::string* RecordTest::dir_ = nullptr;

// A user namespace of its own lets the test mount a small tmpfs without being root.
bool PrivateMountsAllowed() {
    return std::system("unshare -rm sh -c 'mount -t tmpfs -o size=4k tmpfs /mnt' 2>/dev/null") == 0;
}

struct FullDiskCase {
    const char* name;
    std::vector<std::string> command;  // before --port
};

void PrintTo(const FullDiskCase& c, std::ostream* out) {
    *out << c.name;
}

class FullDisk : public RecordTest, public ::testing::WithParamInterface<FullDiskCase> {};

// The record lives on a tmpfs of two pages: one holds a filler file, the other the record, with
// room for 100 bytes of the next line. The write of the line is cut short there; it is cut off
// again, the run fails with 7 and says so last. Once the filler is gone the next run appends a
// whole line.
TEST_P(FullDisk, ALineCutShortIsUndoneAndTheRunFails) {
    if (!PrivateMountsAllowed()) {
        GTEST_SKIP() << "SKIPPED LOUDLY: this machine allows no private mount namespace "
                        "(unshare -rm), so no small tmpfs can fill up";
    }
    const FullDiskCase& c = GetParam();
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    const std::string out = *dir_ + "/" + c.name;
    ASSERT_EQ(std::system(("mkdir -p '" + out + "/mnt'").c_str()), 0);
    std::string seed;
    while (seed.size() < 3996 - 40) {
        seed += "{\"radio\":\"an earlier one\",\"pad\":\"xx\"}\n";
    }
    seed += std::string(3996 - seed.size() - 1, ' ') + "\n";  // still JSON lines: blanks
    std::ofstream(out + "/seed.jsonl", std::ios::binary) << seed;
    std::string args;
    for (const std::string& word : c.command) {
        args += " '" + word + "'";
    }
    args += " --port '" + sim->DevicePath() + "' --yes qzx --mot '" + MotPath() +
            "' --record \"$M/record.jsonl\"";
    const std::string script =
        "set -e; M='" + out + "/mnt'; O='" + out + "'; mount -t tmpfs -o size=8k tmpfs \"$M\"\n" +
        "cp \"$O/seed.jsonl\" \"$M/record.jsonl\"; head -c 4096 /dev/zero > \"$M/filler\"\n" +
        "set +e\n'" + QV_FLASH_PATH + "'" + args +
        " >\"$O/out1\" 2>\"$O/err1\"; echo $? >\"$O/rc1\"\n" +
        "cp \"$M/record.jsonl\" \"$O/full.jsonl\"; rm \"$M/filler\"\n'" + QV_FLASH_PATH + "'" +
        args + " >\"$O/out2\" 2>\"$O/err2\"; echo $? >\"$O/rc2\"\n" +
        "cp \"$M/record.jsonl\" \"$O/freed.jsonl\"\n";
    std::ofstream(out + "/run.sh") << script;
    ASSERT_EQ(std::system(("unshare -rm sh '" + out + "/run.sh'").c_str()), 0);

    EXPECT_EQ(Read(out + "/rc1"), "7\n") << Read(out + "/err1");
    EXPECT_EQ(ProcessResult::LastLine(Read(out + "/err1")), kDiskFull) << Read(out + "/err1");
    EXPECT_EQ(Read(out + "/full.jsonl"), seed) << "no torn line is left behind";

    EXPECT_EQ(Read(out + "/rc2"), "0\n") << Read(out + "/err2");
    const std::string freed = Read(out + "/freed.jsonl");
    ASSERT_EQ(freed.substr(0, seed.size()), seed);
    const std::vector<std::string> added = Lines(freed.substr(seed.size()));
    ASSERT_EQ(added.size(), 1u) << freed.substr(seed.size());
    const JsonValue line = JsonValue::parse(added[0], nullptr, false);
    ASSERT_FALSE(line.is_discarded()) << added[0];
    EXPECT_EQ(line["outcome"], "updated");
    for (const std::string& each : Lines(freed)) {
        if (each.find_first_not_of(' ') != std::string::npos) {
            EXPECT_FALSE(JsonValue::parse(each, nullptr, false).is_discarded()) << each;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, FullDisk,
                         ::testing::Values(FullDiskCase{"write", {"write"}},
                                           FullDiskCase{"station", {"station", "--count", "1"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Under --json a script always has one object to parse, with the exit code and the error; the
// text stays on stderr. Nothing reaches the radio on the way.
TEST_F(RecordTest, EveryFailureUnderJsonIsOneObject) {
    auto sim = Simulator::Start(Radio());
    ASSERT_NE(sim, nullptr);
    const std::string port = sim->DevicePath();
    const std::string file = *dir_ + "/not-a-port.txt";
    std::ofstream(file) << "a regular file\n";
    struct Case {
        std::vector<std::string> arguments;
        const char* input;
        int exitCode;
        const char* said;  // part of stderr
    };
    const Case cases[] = {
        {{"write", "--port", "99", "--yes"}, "", 4, "no port 99 in the port table"},
        {{"identify", "--port", "99"}, "", 4, "no port 99 in the port table"},
        {{"write", "--port", "/dev/qv-no-such-port", "--yes"}, "", 4, "no such device"},
        {{"write", "--port", port, "--yes", "--record", ""}, "", 2, "no file name"},
        {{"station", "--port", port, "--yes", "--record", *dir_ + "/no/such/folder/r.jsonl"},
         "",
         2,
         "does not exist"},
        {{"station", "--port", "/dev/null", "--yes"}, "", 4, "/dev/null is not a serial port"},
        {{"station", "--port", *dir_, "--yes"}, "", 4, "is a directory, not a serial port"},
        {{"station", "--port", file, "--yes"}, "", 4, "is a file, not a serial port"},
        {{"station", "--port", port}, "n\n", 6, "Operation has been canceled"},
    };
    for (const Case& c : cases) {
        for (const bool json : {false, true}) {
            SCOPED_TRACE(std::string(c.said) + (json ? " (--json)" : ""));
            std::vector<std::string> arguments = c.arguments;
            if (json) {
                arguments.push_back("--json");
            }
            const ProcessResult run = test::RunQvFlash(arguments, c.input);
            EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
            EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
            EXPECT_LT(run.elapsed, 5s) << "a path that can never be a port is not waited for";
            if (!json) {
                continue;
            }
            const std::vector<std::string> lines = Lines(run.out);
            ASSERT_EQ(lines.size(), 1u) << run.out;
            const JsonValue object = JsonValue::parse(lines[0], nullptr, false);
            ASSERT_TRUE(object.is_object()) << lines[0];
            EXPECT_EQ(object["exitCode"], c.exitCode) << lines[0];
            ASSERT_TRUE(object["error"].is_string()) << lines[0];
            EXPECT_FALSE(object["error"].get<std::string>().empty());
        }
    }
    const SimReport report = sim->Report();
    EXPECT_EQ(report.bytes + report.garbledBytes, 0) << "a refused run reached the radio";
}

}  // namespace
}  // namespace qv
