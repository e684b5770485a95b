// S-record files written by objcopy and srec_cat at test time load with exactly the bytes
// of the binary they were made from, at its addresses.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/firmware_image.h"
#include "image/image_layout.h"
#include "image/image_mirror.h"
#include "srec_text.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

enum class Tool {
    Objcopy,
    ObjcopyS3,
    SrecCat,
    SrecCatCount,
    SrecCatStart,
    SrecCatNoHeaderCount,
    SrecCatNoHeaderStart
};

struct ToolCase {
    const char* name;
    Tool tool;
    std::uint32_t address;
    std::size_t size;
    int recordLength;
    int blockSize;
    const char* refusal = nullptr;  // part of the reason when the file is refused
};

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string Command(const ToolCase& c, const fs::path& in, const fs::path& out) {
    const std::string n = std::to_string(c.recordLength);
    const std::string files = " '" + in.string() + "' '" + out.string() + "'";
    const std::string srecCat =
        std::string(QV_SREC_CAT) + " '" + in.string() + "' -binary -offset " + Hex(c.address);
    const std::string srecOut = " -o '" + out.string() + "' -Motorola -Output_Block_Size " + n;
    switch (c.tool) {
        case Tool::Objcopy:
            return std::string(QV_OBJCOPY) + " -I binary -O srec --srec-len=" + n +
                   " --change-addresses=" + Hex(c.address) + files;
        case Tool::ObjcopyS3:
            return std::string(QV_OBJCOPY) + " -I binary -O srec --srec-forceS3 --srec-len=" + n +
                   " --change-addresses=" + Hex(c.address) + files;
        case Tool::SrecCat:
            return srecCat + srecOut;
        case Tool::SrecCatCount:
            return srecCat + srecOut + " -enable=data-count";
        case Tool::SrecCatStart:
            return srecCat + " -execution-start-address=" + Hex(c.address) + srecOut +
                   " -disable=data-count";
        case Tool::SrecCatNoHeaderCount:
            return srecCat + srecOut + " -disable=header -enable=data-count";
        case Tool::SrecCatNoHeaderStart:
            return srecCat + " -execution-start-address=" + Hex(c.address) + srecOut +
                   " -disable=header -disable=data-count";
    }
    return "";
}

std::vector<ToolCase> ToolCases() {
    const std::uint32_t r1 = kRegion1First + 0x1000;
    const std::uint32_t r2 = kRegion2First + 0x200;
    return {
        {"objcopy_16_region1", Tool::Objcopy, r1, 4096, 16, 256},
        {"objcopy_32_region1_block128", Tool::Objcopy, r1, 4096, 32, 128},
        {"objcopy_s3_64_region2", Tool::ObjcopyS3, r2, 2048, 64, 256},
        {"objcopy_s3_128_region1", Tool::ObjcopyS3, r1, 8192, 128, 128},
        {"objcopy_16_odd_address", Tool::Objcopy, r1 + 0x101, 4095, 16, 256},
        {"objcopy_128_odd_address_block128", Tool::Objcopy, r1 + 0x101, 4095, 128, 128},
        {"srec_cat_16_region2", Tool::SrecCat, r2, 2048, 16, 128},
        {"srec_cat_32_region1", Tool::SrecCat, r1, 4096, 32, 256},
        {"srec_cat_64_with_count", Tool::SrecCatCount, r1, 4096, 64, 256},
        {"srec_cat_128_with_count_region2", Tool::SrecCatCount, r2, 4096, 128, 128},
        {"srec_cat_128_end_record", Tool::SrecCatStart, r1, 4096, 128, 256},
        // A package always opens with a header; a file without one is not taken.
        {"srec_cat_64_no_header_with_count", Tool::SrecCatNoHeaderCount, r1, 4096, 64, 256,
         "before the header"},
        {"srec_cat_128_no_header_end_record", Tool::SrecCatNoHeaderStart, r1, 4096, 128, 256,
         "before the header"},
    };
}

class ToolFiles : public ::testing::TestWithParam<ToolCase> {};

TEST_P(ToolFiles, LoadWithTheBinarysBytesAtTheirAddresses) {
    const ToolCase& c = GetParam();
    const fs::path dir =
        fs::temp_directory_path() / ("qv-tool-files-" + std::to_string(getpid()) + "-" + c.name);
    fs::create_directories(dir);
    const std::vector<std::uint8_t> binary = test::Pattern(c.address, c.size);
    std::ofstream(dir / "in.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(binary.data()), static_cast<long>(binary.size()));
    const std::string command = Command(c, dir / "in.bin", dir / "out.srec");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(dir / "out.srec", std::ios::binary);
    const std::vector<std::uint8_t> text((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    fs::remove_all(dir);

    FirmwareImage image;
    image.SetBlockSize(c.blockSize);
    RecordList region1, spare, region2;
    if (c.refusal != nullptr) {
        EXPECT_EQ(image.LoadText(text, region1, spare, region2), 1);
        EXPECT_NE(image.failure().reason.find(c.refusal), std::string::npos)
            << image.failure().reason;
        return;
    }
    ASSERT_EQ(image.LoadText(text, region1, spare, region2), 0) << image.failure().reason;
    const bool inRegion1 = c.address >= kRegion1First;
    EXPECT_TRUE((inRegion1 ? region2 : region1).empty());
    const std::uint32_t base = inRegion1 ? kRegion1First : kRegion2First;
    const std::vector<std::uint8_t> mirror = BuildMirror(inRegion1 ? region1 : region2, base);
    const std::size_t offset = c.address - base;
    EXPECT_TRUE(
        std::equal(binary.begin(), binary.end(), mirror.begin() + static_cast<long>(offset)));
    EXPECT_TRUE(std::all_of(mirror.begin(), mirror.begin() + static_cast<long>(offset),
                            [](std::uint8_t b) { return b == 0xFF; }));
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolFiles, ::testing::ValuesIn(ToolCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a count or an end record the text never says it is complete.
TEST(ToolFilesWithoutEnd, AreRefused) {
    const fs::path dir =
        fs::temp_directory_path() / ("qv-tool-files-no-end-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::vector<std::uint8_t> binary = test::Pattern(0, 64);
    std::ofstream(dir / "in.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(binary.data()), static_cast<long>(binary.size()));
    const std::string command = std::string(QV_SREC_CAT) + " '" + (dir / "in.bin").string() +
                                "' -binary -offset 0x08010000 -o '" + (dir / "out.srec").string() +
                                "' -Motorola -disable=data-count";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(dir / "out.srec", std::ios::binary);
    const std::vector<std::uint8_t> text((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    fs::remove_all(dir);
    FirmwareImage image;
    RecordList region1, spare, region2;
    EXPECT_EQ(image.LoadText(text, region1, spare, region2), 1);
    EXPECT_NE(image.failure().reason.find("ends before an end record"), std::string::npos);
}

}  // namespace
}  // namespace qv
