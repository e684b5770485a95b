// FirmwareImage: where the text comes from (Mot file, carried package) and how a source
// that is no Mot file is refused.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/descramble.h"
#include "image/file_path.h"
#include "image/firmware_image.h"
#include "image/image_mirror.h"
#include "image/load_image.h"
#include "image/package/package_resource.h"
#include "srec_text.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() {
        path_ = fs::temp_directory_path() /
                ("qv-image-test-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path File(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return path_ / name;
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

const std::string kSmallFile = test::SRecordFile({{0x08010000, test::Pattern(0x08010000, 64)}}, 32);

int LoadFile(FirmwareImage& image, const fs::path& path) {
    RecordList r1, spare, r2;
    image.SetBlockSize(256);
    return image.Load(r1, spare, r2, Utf8FromPath(path), 1);
}

TEST(Descramble, IsItsOwnInverseAndLeavesAnOddLastByte) {
    std::vector<std::uint8_t> bytes = {0, 0, 0, 0, 0x41};
    Descramble(bytes);
    // Key words 0x3A6D, 0x6686 (0x3A6D + 0x2C19), little-endian.
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x6D, 0x3A, 0x86, 0x66, 0x41}));
    Descramble(bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 0, 0, 0x41}));
}

TEST(MotFile, LeadingSpacesAndLineFeedsAreSkippedButACarriageReturnStops) {
    TempDir dir;
    FirmwareImage image;
    ASSERT_EQ(LoadFile(image, dir.File("spaces.mot", "  \n \n" + kSmallFile)), 0);
    EXPECT_EQ(image.textLength, static_cast<std::int32_t>(5 + kSmallFile.size()));

    image.motPath = dir.File("cr.mot", "\r\n" + kSmallFile).string();
    ASSERT_EQ(image.ReadSource(1), 0);
    EXPECT_EQ(image.cursor, 0u);
    RecordList r1, spare, r2;
    EXPECT_EQ(image.BuildBlocks(r1, spare, r2), 0);
    EXPECT_EQ(r1.size(), 1u);
}

struct BadSource {
    const char* name;
    const char* reason;
};

TEST(MotFile, SourcesThatAreNoMotFileAreRefused) {
    TempDir dir;
    dir.File("empty.mot", "");
    fs::create_directory(dir.path() / "folder.mot");
    // Sparse: the size says 100 MB, nothing is written, and nothing may be read.
    std::ofstream(dir.path() / "huge.mot").put('S');
    fs::resize_file(dir.path() / "huge.mot", 100u * 1024 * 1024);

    const std::vector<BadSource> cases = {{"empty.mot", "no S-record"},
                                          {"missing.mot", "cannot be opened"},
                                          {"folder.mot", "directory"},
                                          {"huge.mot", "64 MiB"}};
    for (const BadSource& c : cases) {
        FirmwareImage image;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(LoadFile(image, dir.path() / c.name), 1) << c.name;
        EXPECT_NE(image.failure().reason.find(c.reason), std::string::npos)
            << c.name << ": " << image.failure().reason;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.name;
    }
}

// The window's file dialog and the command line hand the path over as UTF-8; on Windows the
// file must be opened by the name that text means, not by its bytes in the ANSI code page.
TEST(MotFile, APathOutsideAsciiLoads) {
    TempDir dir;
    const fs::path folder =
        dir.path() / fs::path(u8"J\u00fcrgen") / fs::path(u8"\u30d5\u30a1\u30fc\u30e0");
    fs::create_directories(folder);
    std::ofstream(folder / "radio.srec", std::ios::binary) << kSmallFile;
    const std::string text = Utf8FromPath(folder / "radio.srec");
    EXPECT_NE(text.find("J\xC3\xBCrgen"), std::string::npos) << "UTF-8: " << text;
    EXPECT_EQ(PathFromUtf8(text), folder / "radio.srec");
    FirmwareImage image;
    EXPECT_EQ(LoadFile(image, folder / "radio.srec"), 0) << image.failure().reason;
    // Latin-1 bytes are no UTF-8: a refusal, not a crash in the conversion.
    RecordList r1, spare, r2;
    EXPECT_EQ(image.Load(r1, spare, r2, Utf8FromPath(dir.path()) + "/J\xFCrgen.srec", 1), 1);
    EXPECT_NE(image.failure().reason.find("cannot be opened"), std::string::npos);
}

TEST(MotFile, AFailedReadLeavesNoText) {
    TempDir dir;
    FirmwareImage image;
    ASSERT_EQ(LoadFile(image, dir.File("good.mot", kSmallFile)), 0);
    EXPECT_EQ(LoadFile(image, dir.path() / "missing.mot"), 1);
    EXPECT_TRUE(image.text.empty());
    EXPECT_EQ(image.textLength, 0);
}

#ifdef QV_CARRIES_DEMO_PACKAGE
TEST(CarriedPackage, DemoPackageLoadsWhateverTheMotPath) {
    const LoadedImage at256 = LoadAndCheckImage(256, "/no/such/file", 0, CarriedPackage());
    ASSERT_TRUE(at256.valid) << at256.reason;
    EXPECT_EQ(std::string(at256.versionLabel.begin(), at256.versionLabel.end()), "DEMO-1.0");
    EXPECT_EQ(at256.region1Blocks.size(), 3328u);
    EXPECT_EQ(at256.region2Blocks.size(), 2u);
    EXPECT_EQ(BuildWindowTitle(at256), "Updater for QV-310/QV-410(HW V2.0)         Ver. DEMO-1.0");

    const LoadedImage at128 = LoadAndCheckImage(128, "", 0, CarriedPackage());
    ASSERT_TRUE(at128.valid);
    EXPECT_EQ(at128.region1Blocks.size(), 6656u);
    // The same bytes reach the radio whatever the block size.
    EXPECT_EQ(BuildMirror(at128.region1Blocks), BuildMirror(at256.region1Blocks));
}
#else
TEST(CarriedPackage, DemoPackageLoadsWhateverTheMotPath) {
    GTEST_SKIP() << "SKIPPED: the build carries a real package (QV_FIRMWARE_PACKAGE)";
}
#endif

}  // namespace
}  // namespace qv
