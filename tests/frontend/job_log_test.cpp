// The window's job log: a record line per job in the service log, the port remembered after a
// success only, the radios counted.

#include "frontend/job_log.h"
#include "memory_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

namespace qv {
namespace {

namespace fs = std::filesystem;

using test::MemoryStore;

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(JobLog, LogsEveryJobAndRemembersThePortOfASuccess) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path dir = fs::temp_directory_path() / ("qv-job-log-" + std::to_string(stamp));
    fs::remove_all(dir);
    // The folder does not exist yet, and its name is no ASCII (a user's folder on Windows).
    const fs::path log = dir / fs::path(u8"J\u00fcrgen") / "jobs.jsonl";
    MemoryStore store;
    ServiceLogFile file(log);
    JobLog jobs(store, file);
    WriteJobOutcome failed;
    failed.status = StatusExchangeFailed;
    WriteJobOutcome written;
    written.succeeded = true;

    EXPECT_TRUE(jobs.Record("/tmp/qv-radio-a", failed));
    EXPECT_EQ(jobs.RememberedPort(), "") << "a failure is not remembered";
    EXPECT_TRUE(jobs.Record("/tmp/qv-radio-b", written));
    EXPECT_EQ(jobs.RememberedPort(), "/tmp/qv-radio-b");
    EXPECT_EQ(store.values.at(std::string(kRadioPortKey)), "/tmp/qv-radio-b");
    EXPECT_EQ(jobs.UpdatedThisSession(), 1);

    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\"port\":\"/tmp/qv-radio-a\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"outcome\":\"failed\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\"outcome\":\"updated\""), std::string::npos) << lines[1];

    // A log that cannot be written: the job is still counted and its port remembered.
    fs::remove_all(dir);
    fs::create_directories(log);  // a folder where the file should be
    EXPECT_FALSE(jobs.Record("/tmp/qv-radio-c", written));
    EXPECT_EQ(jobs.LogFailure(), "it is a directory") << "the window says why";
    EXPECT_EQ(jobs.UpdatedThisSession(), 2);
    EXPECT_EQ(jobs.RememberedPort(), "/tmp/qv-radio-c");
    fs::remove_all(dir);

    ServiceLogFile none({});
    JobLog unlogged(store, none);
    EXPECT_FALSE(unlogged.Record("/tmp/qv-radio-d", written));
    EXPECT_EQ(unlogged.LogFailure(), "") << "no log is kept: nothing failed";
}

TEST(JobLog, TheNextRadioChoiceIsKeptAsText) {
    MemoryStore store;
    EXPECT_FALSE(StoredNextRadioChoice(store)) << "off until chosen";
    StoreNextRadioChoice(store, true);
    EXPECT_TRUE(StoredNextRadioChoice(store));
    EXPECT_EQ(store.values.at(std::string(kNextRadioKey)), "true");
    StoreNextRadioChoice(store, false);
    EXPECT_FALSE(StoredNextRadioChoice(store));
}

}  // namespace
}  // namespace qv
