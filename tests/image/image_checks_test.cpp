// The image checks and the load-and-check sequence: which packages count as valid, what
// the title shows.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/image_checks.h"
#include "image/image_layout.h"
#include "image/image_mirror.h"
#include "image/load_image.h"
#include "srec_text.h"

namespace qv {
namespace {

using test::DataRun;

std::vector<std::uint8_t> IdentityArea(const std::string& identity, const std::string& version) {
    std::vector<std::uint8_t> area(64, 0);
    std::memcpy(area.data(), identity.data(), identity.size());
    std::memcpy(area.data() + 48, version.data(), version.size());
    return area;
}

std::vector<std::uint8_t> LabelArea(const std::string& label) {
    std::vector<std::uint8_t> area = test::Pattern(kLabelAreaAddress, 64);
    std::memcpy(area.data() + 48, label.data(), label.size());
    return area;
}

const DataRun kRegion2 = {kLabelAreaAddress, LabelArea("REGION-TWO-LABEL")};

LoadedImage LoadRuns(const std::vector<DataRun>& runs, int blockSize = 256) {
    return LoadAndCheckText(blockSize, test::Bytes(test::SRecordFile(runs)));
}

TEST(ImageChecks, ValidImageGivesLabelsAndTitle) {
    const LoadedImage image =
        LoadRuns({kRegion2, {kIdentityAreaAddress, IdentityArea(kModelIdentity, "V1.02.03")}});
    ASSERT_TRUE(image.valid) << image.reason;
    EXPECT_EQ(std::string(image.versionLabel.begin(), image.versionLabel.end()), "V1.02.03");
    EXPECT_EQ(std::string(image.region2Label.begin(), image.region2Label.end()),
              "REGION-TWO-LABEL");
    // Nine blanks between ")" and "Ver.", one after it.
    EXPECT_EQ(BuildWindowTitle(image), "Updater for QV-310/QV-410(HW V2.0)         Ver. V1.02.03");
}

TEST(ImageChecks, TitleStopsAtAZeroByteAndNamesAnInvalidImage) {
    const LoadedImage image =
        LoadRuns({kRegion2, {kIdentityAreaAddress, IdentityArea(kModelIdentity, "V2")}});
    ASSERT_TRUE(image.valid);
    EXPECT_EQ(BuildWindowTitle(image), "Updater for QV-310/QV-410(HW V2.0)         Ver. V2");
    EXPECT_EQ(BuildWindowTitle(LoadedImage{}),
              "Updater for QV-310/QV-410(HW V2.0)         Ver. Invalid Firm");
    EXPECT_EQ(FillTitleTemplate("<<x>>"), "Updater for QV-310/QV-410(HW V2.0)         Ver. <<x>>");
}

struct RefusalCase {
    const char* name;
    std::vector<DataRun> runs;
    const char* reason;
};

std::vector<RefusalCase> RefusalCases() {
    std::string oneLetter = kModelIdentity;
    oneLetter[15] = 'm';  // "MERIDANTEX" with one lower-case letter
    return {
        {"identity_differs_in_the_case_of_one_letter",
         {kRegion2, {kIdentityAreaAddress, IdentityArea(oneLetter, "V1")}},
         "model identity"},
        // The area lies in a hole of region 1 that the builder fills with 0xFF.
        {"identity_area_in_a_filled_hole",
         {kRegion2,
          {kIdentityAreaAddress - 32, test::Pattern(0, 32)},
          {kIdentityAreaAddress + 0x80, test::Pattern(0, 32)}},
         "model identity"},
        {"no_region_1_data", {kRegion2}, "model identity"},
        {"identity_area_cut_short",
         {kRegion2,
          {kIdentityAreaAddress, std::vector<std::uint8_t>(kModelIdentity, kModelIdentity + 32)}},
         "model identity"},
        {"no_region_2_label",
         {{kIdentityAreaAddress, IdentityArea(kModelIdentity, "V1")}},
         "region-2 label"},
        {"region_2_label_area_cut_short",
         {{kLabelAreaAddress, test::Pattern(0, 32)},
          {kIdentityAreaAddress, IdentityArea(kModelIdentity, "V1")}},
         "region-2 label"},
    };
}

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, RefusedWithEmptyListsAndAReason) {
    const LoadedImage image = LoadRuns(GetParam().runs);
    EXPECT_FALSE(image.valid);
    EXPECT_TRUE(image.region1Blocks.empty());
    EXPECT_TRUE(image.region2Blocks.empty());
    EXPECT_NE(image.reason.find(GetParam().reason), std::string::npos) << image.reason;
    EXPECT_EQ(BuildWindowTitle(image), FillTitleTemplate(kInvalidFirmText));
}

INSTANTIATE_TEST_SUITE_P(Images, Refusals, ::testing::ValuesIn(RefusalCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImageChecks, IdentitySplitAcrossTwoBlocksIsGathered) {
    const auto area = IdentityArea(kModelIdentity, "SPLIT-01");
    const std::vector<std::uint8_t> first(area.begin(), area.begin() + 32);
    const std::vector<std::uint8_t> second(area.begin() + 32, area.end());
    std::vector<std::uint8_t> firstBlock = test::Pattern(0, 224);
    firstBlock.insert(firstBlock.end(), first.begin(), first.end());
    const RecordList blocks = {test::MakeRecord(kIdentityAreaAddress - 224, firstBlock),
                               test::MakeRecord(kIdentityAreaAddress + 32, second)};
    std::array<std::uint8_t, 8> version{};
    ASSERT_EQ(CheckIdentity(blocks, version), 0);
    EXPECT_EQ(std::string(version.begin(), version.end()), "SPLIT-01");
}

// Mended: after a block ends, only a block that starts there continues the area.
TEST(ImageChecks, AreaIsNotGatheredAcrossAHoleBetweenBlocks) {
    const auto area = IdentityArea(kModelIdentity, "V1");
    const std::vector<std::uint8_t> first(area.begin(), area.begin() + 32);
    const std::vector<std::uint8_t> elsewhere(area.begin() + 32, area.end());
    const RecordList blocks = {test::MakeRecord(kIdentityAreaAddress, first),
                               test::MakeRecord(kIdentityAreaAddress + 0x100, elsewhere)};
    std::array<std::uint8_t, 8> version{'k', 'e', 'e', 'p'};
    EXPECT_EQ(CheckIdentity(blocks, version), 1);
    EXPECT_EQ(version[0], 'k');  // untouched on failure
    std::array<std::uint8_t, 64> gathered{};
    EXPECT_EQ(GatherArea(blocks, kIdentityAreaAddress, gathered), 1);
}

TEST(ImageChecks, ChecksumCountsUnwrittenBytesAsFF) {
    EXPECT_EQ(Region1Checksum({}), 0xF010);
    // Two zero bytes in place of 0xFF lower the sum by 2 * 0xFF; bytes from 0x080DFFF0 on
    // are not summed.
    const RecordList blocks = {test::MakeRecord(kRegion1First, {0, 0, 0xFF, 0xFF}),
                               test::MakeRecord(0x080DFFF0, {0, 0, 0, 0})};
    EXPECT_EQ(Region1Checksum(blocks), static_cast<std::uint16_t>(0xF010 - 2 * 0xFF));
}

}  // namespace
}  // namespace qv
