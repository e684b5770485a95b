// qv-radio-sim as a program: a scripted job against it, then its dump and report.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim_test_support.h"

extern char** environ;

namespace qv::test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RadioSimProgram, ServesTheJobsAskedForThenWritesDumpAndReport) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qv-radio-sim-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string dump = (dir / "dump.bin").string();
    const std::string report = (dir / "report.json").string();
    const std::string link = (dir / "radio0").string();
    std::vector<std::string> args = {QV_RADIO_SIM_PATH, "--link", link, "--jobs",   "1",
                                     "--no-high-speed", "--dump", dump, "--report", report};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    // Whatever fails below, the program does not outlive the test.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } reaper{pid};
    FILE* stdoutOfSim = ::fdopen(out[0], "r");
    char firstLine[256] = {};
    ASSERT_NE(std::fgets(firstLine, sizeof firstLine, stdoutOfSim), nullptr);
    std::string device(firstLine);
    device.erase(device.find_last_not_of('\n') + 1);
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), device);

    JobScript script;
    script.blocks = MakeBlocks(3);
    EXPECT_EQ(RunJob(link, script).failedAt, "");
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    reaper.pid = 0;
    std::fclose(stdoutOfSim);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    const std::vector<std::uint8_t> expected = ExpectedFlash(script.blocks);
    EXPECT_TRUE(ReadFile(dump) == std::string(expected.begin(), expected.end()));
    const std::string json = ReadFile(report);
    EXPECT_NE(json.find("\"jobs\": 1"), std::string::npos) << json;
    EXPECT_NE(json.find("\"deviations\": []"), std::string::npos) << json;
    EXPECT_NE(json.find("\"checksumAcked\": true"), std::string::npos) << json;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv::test
