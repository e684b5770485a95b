// The record file: each line whole, also after a line that an earlier crash or a hand edit left
// without its newline; paths that cannot hold a record are refused before a radio is touched.
// (A disk that fills part-way through a line is shown by the qv-flash record tests.)

#include "workflow/record_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qv {
namespace {

namespace fs = std::filesystem;

class RecordFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("qv-record-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Content(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    static void Write(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    fs::path dir_;
};

TEST_F(RecordFileTest, EveryLineStartsOnALineOfItsOwn) {
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"a new file", "", "{\"radio\":1}\n{\"radio\":2}\n"},
        {"whole lines", "{\"radio\":0}\n", "{\"radio\":0}\n{\"radio\":1}\n{\"radio\":2}\n"},
        {"a torn last line", "{\"radio\":0}\n{\"rad",
         "{\"radio\":0}\n{\"rad\n{\"radio\":1}\n{\"radio\":2}\n"},
        {"a Windows line end", "{\"radio\":0}\r\n",
         "{\"radio\":0}\r\n{\"radio\":1}\n{\"radio\":2}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = dir_ / "record.jsonl";
        fs::remove(path);
        if (!c.before.empty()) {
            Write(path, c.before);
        }
        std::string reason;
        const auto record = RecordFile::Open(path.string(), reason);
        ASSERT_NE(record, nullptr) << reason;
        EXPECT_TRUE(record->Append("{\"radio\":1}", reason)) << reason;
        EXPECT_TRUE(record->Append("{\"radio\":2}", reason)) << reason;
        EXPECT_EQ(Content(path), c.after);
    }
}

// Another program appending to the same file, its last line torn: the next line still starts
// on a line of its own.
TEST_F(RecordFileTest, ALineTornByAnotherWriterIsNotContinued) {
    const fs::path path = dir_ / "shared.jsonl";
    std::string reason;
    const auto record = RecordFile::Open(path.string(), reason);
    ASSERT_NE(record, nullptr) << reason;
    ASSERT_TRUE(record->Append("{\"radio\":1}", reason));
    std::ofstream(path, std::ios::binary | std::ios::app) << "{\"other\":";
    ASSERT_TRUE(record->Append("{\"radio\":2}", reason));
    EXPECT_EQ(Content(path), "{\"radio\":1}\n{\"other\":\n{\"radio\":2}\n");
}

TEST_F(RecordFileTest, PathsThatCannotHoldARecordAreRefused) {
    struct Case {
        const char* what;
        fs::path path;
        const char* reason;
    };
    const Case cases[] = {
        {"no name", fs::path(), "no file name"},
        {"a directory", dir_, "it is a directory"},
        {"a folder that does not exist", dir_ / "missing" / "record.jsonl", "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string reason;
        EXPECT_EQ(RecordFile::Open(c.path.string(), reason), nullptr);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing")) << "nothing is created on the way";
}

}  // namespace
}  // namespace qv
