// qv-flash info as a user runs it: the carried package, the designer options, and files that
// are no Mot file (exit 3 with the message and the reason, never a crash).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "image/descramble.h"
#include "image/package/package_resource.h"
#include "srec_text.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class QvFlashInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qv-flash-info-" + std::to_string(getpid()) + "-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    RunResult Run(const std::string& arguments) {
        const std::string command = std::string(QV_FLASH) + " " + arguments + " >'" +
                                    (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() +
                                    "'";
        const int status = std::system(command.c_str());
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = ReadAll(dir_ / "out");
        result.err = ReadAll(dir_ / "err");
        return result;
    }
    fs::path File(const std::string& name, const std::string& content) {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return dir_ / name;
    }

    fs::path dir_;
};

constexpr const char* kMessage = "The firmware file selected is not valid for this model.\n";

TEST_F(QvFlashInfo, UsageErrorsExitWith2) {
    for (const char* arguments :
         {"info --mot x.mot", "info --max-buffer 128", "info qzx --max-buffer 100", "info word",
          "info --no-such-option"}) {
        EXPECT_EQ(Run(arguments).exitCode, 2) << arguments;
    }
    const RunResult help = Run("info --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--max-buffer"), std::string::npos);
}

struct BadFile {
    const char* name;
    std::string content;
    const char* reason;  // second line of stderr starts with it
};

TEST_F(QvFlashInfo, FilesThatAreNoMotFileExitWith3AndTheReason) {
    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 131) ^ (i >> 3));
    }
    const std::string record = test::RecordLine('3', 0x08010000, test::Pattern(0, 32));
    const std::vector<BadFile> cases = {
        {"garbage.mot", garbage, "line 1: unexpected byte 0x00"},
        {"truncated.mot",
         test::kHeader + "\n" + record.substr(0, 40) + "\n" + record + "\n" + test::kEnd,
         "line 2: a record cut short by a line end"},
        {"never_ends.mot", test::kHeader + "\n" + record.substr(0, 50),
         "line 2: the text ends inside a record"},
        {"no_end_record.mot", test::kHeader + "\n" + record + "\n",
         "line 3: the text ends before an end record"},
    };
    for (const BadFile& c : cases) {
        const RunResult result = Run("info QZX --mot '" + File(c.name, c.content).string() + "'");
        EXPECT_EQ(result.exitCode, 3) << c.name;
        EXPECT_EQ(result.err.rfind(std::string(kMessage) + c.reason, 0), 0u) << c.name << ":\n"
                                                                             << result.err;
        EXPECT_EQ(result.out, "");
    }

    std::ofstream(dir_ / "huge.mot").put('S');
    fs::resize_file(dir_ / "huge.mot", 100u * 1024 * 1024);  // sparse
    fs::create_directory(dir_ / "folder.mot");
    for (const auto& [name, reason] :
         std::vector<std::pair<std::string, std::string>>{{"huge.mot", "64 MiB"},
                                                          {"folder.mot", "directory"},
                                                          {"missing.mot", "cannot be opened"}}) {
        const RunResult result = Run("info qzx --mot '" + (dir_ / name).string() + "'");
        EXPECT_EQ(result.exitCode, 3) << name;
        EXPECT_EQ(result.err.rfind(kMessage, 0), 0u) << name;
        EXPECT_NE(result.err.find(reason), std::string::npos) << name << ":\n" << result.err;
    }
}

TEST_F(QvFlashInfo, AValidMotFileIsShown) {
    std::vector<std::uint8_t> identity(64, 0);
    const std::string model = "QV-9051/9052V2 MERIDANTEX LMR BI";
    std::copy(model.begin(), model.end(), identity.begin());
    std::copy_n("MOT-2.00", 8, identity.begin() + 48);
    std::vector<std::uint8_t> label(64, 0x20);
    std::copy_n("LABEL-OF-REGION2", 16, label.begin() + 48);
    const fs::path mot =
        File("good.mot", test::SRecordFile({{0x0800BF00, label}, {0x080DFF00, identity}}));
    const RunResult result = Run("info qzx --max-buffer 128 --mot '" + mot.string() + "'");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(
        result.out,
        "version: MOT-2.00\nregion2-label: LABEL-OF-REGION2\nblock-size: 128\n"
        "region1-blocks: 1\nregion1-bytes: 64\nregion2-blocks: 1\n"
        "checksum: 0x" +
            [&] {
                // 0xCFFF0 bytes of 0xFF, with the identity area in place of 64 of them.
                unsigned sum = 0xCFFF0u * 0xFF - 64 * 0xFF;
                for (std::uint8_t b : identity)
                    sum += b;
                char text[8];
                std::snprintf(text, sizeof text, "%04X", sum & 0xFFFF);
                return std::string(text);
            }() +
            "\n");
}

#ifdef QV_CARRIES_DEMO_PACKAGE
// The checksum is checked against srec_cat's reading of the same package.
TEST_F(QvFlashInfo, CarriedDemoPackage) {
    const RunResult text = Run("info");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("version: DEMO-1.0\n"), std::string::npos);
    EXPECT_NE(text.out.find("block-size: 256\n"), std::string::npos);
    EXPECT_NE(text.out.find("region1-blocks: 3328\n"), std::string::npos);
    EXPECT_NE(text.out.find("region1-bytes: 851968\n"), std::string::npos);

    const auto package = FindResource(kPackageResourceType, kPackageResourceName);
    ASSERT_TRUE(package);
    std::string plain(package->begin(), package->end());
    Descramble({reinterpret_cast<std::uint8_t*>(plain.data()), plain.size()});
    const fs::path srec = File("demo.srec", plain);
    const std::string command = std::string(QV_SREC_CAT) + " '" + srec.string() +
                                "' -crop 0x08010000 0x080DFFF0 -offset -0x08010000 -fill 0xFF 0 "
                                "0xCFFF0 -o '" +
                                (dir_ / "demo.bin").string() + "' -binary";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string binary = ReadAll(dir_ / "demo.bin");
    ASSERT_EQ(binary.size(), 0xCFFF0u);
    const unsigned sum = std::accumulate(binary.begin(), binary.end(), 0u, [](unsigned s, char c) {
        return s + static_cast<std::uint8_t>(c);
    });
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "0x%04X", sum & 0xFFFF);
    EXPECT_NE(text.out.find("checksum: " + std::string(checksum) + "\n"), std::string::npos)
        << text.out;

    const RunResult at128 = Run("info qzx --max-buffer 128 --json");
    ASSERT_EQ(at128.exitCode, 0);
    EXPECT_NE(at128.out.find("\"blockSize\":128"), std::string::npos) << at128.out;
    EXPECT_NE(at128.out.find("\"region1Blocks\":6656"), std::string::npos);
    EXPECT_NE(at128.out.find("\"checksum\":\"" + std::string(checksum) + "\""), std::string::npos);
}
#endif

}  // namespace
}  // namespace qv
