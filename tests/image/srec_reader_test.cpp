// The S-record reader: which texts it accepts, what records it keeps, where it stops.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/srec_reader.h"
#include "srec_text.h"

namespace qv {
namespace {

using test::Bytes;
using test::kEnd;
using test::kHeader;
using test::RecordLine;

const std::string kData1 = RecordLine('3', 0x08010000, {0x01, 0x02, 0x03, 0x04});
const std::string kData2 = RecordLine('3', 0x08010004, {0x05, 0x06, 0x07, 0x08});

struct ReaderCase {
    const char* name;
    std::string text;
    int result;
    std::size_t records;
    const char* reason;  // part of the failure's reason
    int line;            // line of the failure
};

// A data record whose first data byte is "ZZ" where the file had "00": its checksum still
// matches if "ZZ" reads as 0, and the radio would get the corrupted byte.
std::string NonHexData() {
    std::string line = RecordLine('3', 0x08010000, {0x00, 0x02, 0x03, 0x04});
    line.replace(12, 2, "ZZ");
    return line;
}

std::vector<ReaderCase> ReaderCases() {
    const std::string h = kHeader + "\n";
    return {
        {"header_data_end", h + kData1 + "\n" + kData2 + "\nS9030000FC\n", 0, 2, "", 0},
        {"count_record_ends_reading", h + kData1 + "\nS5030001FB\n" + kData2 + "\n", 0, 1, "", 0},
        {"s7_ends_reading", h + kData1 + "\n" + kEnd + "\n" + kData2 + "\n", 0, 1, "", 0},
        {"s8_ends_reading", h + kData1 + "\nS804000000FB\n" + kData2 + "\n", 0, 1, "", 0},
        {"only_an_end_record", "S9030000FC\n", 0, 0, "", 0},
        {"end_record_cut_off", h + kData1 + "\nS9", 1, 0, "ends inside a record", 3},
        {"end_record_checksum", h + kData1 + "\nS9030000FD\n", 1, 0, "checksum", 3},
        {"end_record_length", h + kData1 + "\nS70408010000F2\n", 1, 0, "S7 of length 4", 3},
        {"count_record_miscounts", h + kData1 + "\n" + kData2 + "\nS5030001FB\n", 1, 0,
         "S5) of 1 records after 2", 4},
        {"non_hex_digit_in_data", h + NonHexData() + "\n" + kEnd, 1, 0, "not a hexadecimal digit",
         2},
        {"non_hex_digit_in_end_record", h + kData1 + "\nS9030Z00FC\n", 1, 0,
         "not a hexadecimal digit", 3},
        {"crlf_line_ends", kHeader + "\r\n" + kData1 + "\r\n" + kEnd + "\r\n", 0, 1, "", 0},
        {"leading_blanks_and_cr", " \n\r\n" + h + kData1 + "\n" + kEnd, 0, 1, "", 0},
        {"no_line_ends_between_records", kHeader + kData1 + kData2 + kEnd, 0, 2, "", 0},
        {"zero_length_record_kept", h + RecordLine('3', 0x08010000, {}) + "\n" + kEnd, 0, 1, "", 0},
        {"record_of_128_bytes",
         h + RecordLine('3', 0x08010000, test::Pattern(0, 128)) + "\n" + kEnd, 0, 1, "", 0},
        {"data_without_header", kData1 + "\n" + kEnd + "\n", 1, 0, "before the header", 1},
        {"count_without_header", "S5030001FB\n" + kEnd + "\n", 1, 0, "before the header", 1},
        {"record_of_129_bytes",
         h + RecordLine('3', 0x08010000, test::Pattern(0, 129)) + "\n" + kEnd, 1, 0,
         "129 data bytes", 2},
        {"wrong_checksum_after_good_records",
         h + kData1 + "\n" + kData2 + "\n" +
             test::RecordLineWithChecksum('3', 0x08010008, {1, 2, 3, 4}, 0x00) + "\n" + kEnd,
         1, 0, "checksum", 4},
        {"empty_text", "", 1, 0, "no S-record", 1},
        {"only_blanks", " \r\n\n", 1, 0, "no S-record", 3},
        {"garbage_first", "hello\n", 1, 0, "unexpected character 'h'", 1},
        {"garbage_between_records", h + kData1 + "\n;comment\n" + kEnd, 1, 0, "character ';'", 3},
        {"binary_byte", h + kData1 + "\n" + std::string("\x01\x02", 2), 1, 0, "byte 0x01", 3},
        {"s4_record", h + "S4030000FC\n" + kEnd, 1, 0, "type S4", 2},
        {"s6_record", h + "S6030000FC\n" + kEnd, 1, 0, "type S6", 2},
        {"s_then_letter", h + "SX\n", 1, 0, "type SX", 2},
        {"second_header", h + kData1 + "\n" + h + kEnd, 1, 0, "second header", 3},
        {"text_ends_before_end_record", h + kData1 + "\n", 1, 0, "ends before an end record", 3},
        {"header_never_followed", "S0030000FC", 1, 0, "ends before an end record", 1},
        {"text_ends_inside_a_record", h + kData1.substr(0, 20), 1, 0, "ends inside a record", 2},
        {"cut_record_names_its_own_line", h + kData1.substr(0, 16) + "\r\n", 1, 0,
         "ends inside a record", 2},
        {"text_ends_after_s", h + "S", 1, 0, "ends inside a record", 2},
        {"record_shorter_than_address", h + "S3040801FF\n" + kEnd, 1, 0, "shorter than its address",
         2},
    };
}

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTable, ResultRecordsAndReason) {
    const ReaderCase& c = GetParam();
    // An exact-size heap copy: any read past the end is caught by the sanitizers.
    const std::vector<std::uint8_t> text(c.text.begin(), c.text.end());
    RecordList records;
    LoadFailure failure;
    std::size_t cursor = 0;
    EXPECT_EQ(ParseSRecords(text, cursor, records, &failure), c.result);
    EXPECT_LE(cursor, text.size());
    if (c.result == 0) {
        EXPECT_EQ(records.size(), c.records);
        EXPECT_EQ(failure.reason, "");
    } else {
        EXPECT_NE(failure.reason.find(c.reason), std::string::npos) << failure.reason;
        EXPECT_EQ(failure.line, c.line);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ReaderTable, ::testing::ValuesIn(ReaderCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SRecordReader, KeepsAddressesAndTextOfEachRecordType) {
    const std::string s1 = RecordLine('1', 0x1234, {0xAB, 0xCD});
    const std::string text = kHeader + "\n" + s1 + "\n" + RecordLine('2', 0x012345, {1, 2}) + "\n" +
                             RecordLine('3', 0x08004000, {3}) + "\n" + kEnd;
    RecordList records;
    std::size_t cursor = 0;
    ASSERT_EQ(ParseSRecords(Bytes(text), cursor, records), 0);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].address, 0x1234u);
    EXPECT_EQ(records[0].count, 2);
    EXPECT_EQ(std::string(records[0].hexText.data(), 4), "ABCD");
    EXPECT_EQ(std::string(records[0].checksumText.data(), 2), s1.substr(s1.size() - 2));
    EXPECT_EQ(records[1].address, 0x012345u);
    EXPECT_EQ(records[2].address, 0x08004000u);
    EXPECT_EQ(records[2].count, 1);
}

TEST(SRecordReader, LowerCaseDigitsReadAsUpperCaseAndStayAsWritten) {
    const std::string upper = RecordLine('3', 0x0801ABCD, {0xAB, 0xCD, 0xEF, 0x0F});
    std::string lower = upper;
    for (char& c : lower) {
        c = static_cast<char>(c == 'S' ? c : std::tolower(static_cast<unsigned char>(c)));
    }
    const std::string text = kHeader + "\n" + lower + "\n" + kEnd;
    RecordList records;
    std::size_t cursor = 0;
    ASSERT_EQ(ParseSRecords(Bytes(text), cursor, records), 0);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].address, 0x0801ABCDu);
    EXPECT_EQ(std::string(records[0].hexText.data(), 8), "abcdef0f");
    EXPECT_EQ(test::DataOf(records[0]), (std::vector<std::uint8_t>{0xAB, 0xCD, 0xEF, 0x0F}));
}

TEST(SRecordReader, NeverReadsBeyondTheTextItIsGiven) {
    // The end record lies just past the span: the reader must not find it.
    const std::string whole = kHeader + "\n" + kData1 + "\n" + kEnd;
    const std::size_t cut = whole.size() - kEnd.size();
    RecordList records;
    LoadFailure failure;
    std::size_t cursor = 0;
    EXPECT_EQ(ParseSRecords(Bytes(whole).first(cut), cursor, records, &failure), 1);
    EXPECT_NE(failure.reason.find("ends before an end record"), std::string::npos);
    EXPECT_LE(cursor, cut);
}

}  // namespace
}  // namespace qv
