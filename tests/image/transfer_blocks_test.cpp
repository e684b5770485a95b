// The transfer-block builder: how records become blocks, and that every byte reaches the
// radio once, at its address.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "image/transfer_blocks.h"
#include "srec_text.h"

namespace qv {
namespace {

constexpr std::uint32_t kBase = 0x08010000;

struct Run {
    std::uint32_t offset;  // from kBase
    int count;
};

struct BlockShape {
    std::uint32_t offset;
    int count;
    bool operator==(const BlockShape&) const = default;
};

struct BuilderCase {
    const char* name;
    std::vector<Run> records;
    int fullSize;
    int capacity;
    int result;
    std::vector<BlockShape> blocks;  // on success
};

std::vector<Run> Contiguous(std::uint32_t offset, int recordBytes, int records) {
    std::vector<Run> runs;
    for (int i = 0; i < records; ++i) {
        runs.push_back({offset + static_cast<std::uint32_t>(i * recordBytes), recordBytes});
    }
    return runs;
}

std::vector<Run> Join(std::vector<Run> a, const std::vector<Run>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<BuilderCase> BuilderCases() {
    return {
        {"no_records", {}, 256, 256, 0, {}},
        {"contiguous_32_at_256",
         Contiguous(0, 32, 36),
         256,
         256,
         0,
         {{0, 256}, {256, 256}, {512, 256}, {768, 256}, {1024, 128}}},
        {"contiguous_32_at_128",
         Contiguous(0, 32, 12),
         128,
         128,
         0,
         {{0, 128}, {128, 128}, {256, 128}}},
        {"odd_first_record_gets_a_fill_byte_in_front", {{1, 31}}, 256, 256, 0, {{0, 32}}},
        {"hole_smaller_than_room_is_filled",
         Join(Contiguous(0, 32, 2), {{72, 32}}),
         256,
         256,
         0,
         {{0, 72}, {72, 32}}},
        {"hole_larger_than_room_aligned_64",
         Join(Contiguous(0, 32, 2), {{1000, 32}}),
         256,
         256,
         0,
         {{0, 68}, {1000, 32}}},
        {"hole_larger_than_room_aligned_66",
         {{0, 32}, {32, 32}, {64, 2}, {1000, 32}},
         256,
         256,
         0,
         {{0, 68}, {1000, 32}}},
        {"records_of_33_bytes", Contiguous(0, 33, 4), 128, 128, 0, {{0, 100}, {100, 32}}},
        {"region2_full_128_counted_against_256",
         Join(Contiguous(0, 32, 4), {{144, 32}}),
         128,
         256,
         0,
         {{0, 144}, {144, 32}}},
        {"region2_contiguous_at_256", Contiguous(0, 32, 8), 128, 256, 0, {{0, 128}, {128, 128}}},
        {"last_block_of_6_bytes_fails", {{0, 6}}, 256, 256, 1, {}},
        {"zero_length_record_in_between", {{0, 32}, {32, 0}, {32, 32}}, 256, 256, 0, {{0, 64}}},
        // Mended: 128 bytes behind a fill byte do not fit a 128-byte block; the rest goes on.
        {"record_of_128_at_odd_address_block_128",
         {{1, 128}, {129, 31}},
         128,
         128,
         0,
         {{0, 128}, {128, 32}}},
        {"record_of_128_at_odd_address_block_256", {{1, 128}, {129, 127}}, 256, 256, 0, {{0, 256}}},
        // Mended: the byte taken from the next record to align the block leaves that record.
        {"alignment_takes_from_next_record_once",
         {{0, 120}, {122, 1}, {123, 9}},
         128,
         128,
         0,
         {{0, 124}, {124, 8}}},
        {"later_record_wins_where_records_overlap",
         {{0, 32}, {16, 32}},
         256,
         256,
         0,
         {{0, 16}, {16, 32}}},
        {"overlap_of_a_full_block", {{0, 128}, {124, 36}}, 128, 128, 0, {{0, 124}, {124, 36}}},
        {"record_before_the_block_is_refused", {{64, 32}, {0, 32}}, 256, 256, 1, {}},
        {"duplicate_record_is_refused", {{0, 32}, {0, 32}}, 256, 256, 1, {}},
        {"record_inside_an_earlier_block_is_refused",
         {{0, 128}, {128, 32}, {64, 32}},
         128,
         128,
         1,
         {}},
        {"block_size_not_a_multiple_of_4", {{0, 32}}, 130, 130, 1, {}},
        {"block_size_beyond_a_record", {{0, 32}}, 512, 512, 1, {}},
    };
}

RecordList MakeRecords(const std::vector<Run>& runs) {
    RecordList records;
    for (const Run& run : runs) {
        records.push_back(test::MakeRecord(
            kBase + run.offset,
            test::Pattern(kBase + run.offset, static_cast<std::size_t>(run.count))));
    }
    return records;
}

// Every byte the records carry must appear once, at its address, the later record winning
// where they overlap; every other byte of a block is fill.
void ExpectEveryByteOnceAtItsAddress(const RecordList& records, const RecordList& blocks) {
    std::map<std::uint32_t, std::uint8_t> expected;
    for (const HexRecord& record : records) {
        const auto bytes = test::DataOf(record);
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            expected[record.address + static_cast<std::uint32_t>(k)] = bytes[k];
        }
    }
    std::map<std::uint32_t, std::uint8_t> sent;
    for (const HexRecord& block : blocks) {
        EXPECT_EQ(block.address % 2, 0u) << "block at odd address " << block.address;
        EXPECT_EQ(block.count % 4, 0) << "block length " << block.count;
        const auto bytes = test::DataOf(block);
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            const std::uint32_t address = block.address + static_cast<std::uint32_t>(k);
            EXPECT_TRUE(sent.emplace(address, bytes[k]).second) << "sent twice: " << address;
            const auto it = expected.find(address);
            EXPECT_EQ(bytes[k], it == expected.end() ? 0xFF : it->second) << "at " << address;
        }
    }
    for (const auto& [address, byte] : expected) {
        EXPECT_TRUE(sent.count(address)) << "never sent: " << address;
    }
}

class BuilderTable : public ::testing::TestWithParam<BuilderCase> {};

TEST_P(BuilderTable, BlocksAndBytes) {
    const BuilderCase& c = GetParam();
    const RecordList records = MakeRecords(c.records);
    RecordList blocks;
    LoadFailure failure;
    ASSERT_EQ(BuildTransferBlocks(records, blocks, c.fullSize, c.capacity, &failure), c.result)
        << failure.reason;
    if (c.result != 0) {
        EXPECT_FALSE(failure.reason.empty());
        return;
    }
    std::vector<BlockShape> shapes;
    for (const HexRecord& block : blocks) {
        shapes.push_back({block.address - kBase, block.count});
    }
    EXPECT_EQ(shapes, c.blocks);
    ExpectEveryByteOnceAtItsAddress(records, blocks);
}

INSTANTIATE_TEST_SUITE_P(Records, BuilderTable, ::testing::ValuesIn(BuilderCases()),
                         [](const auto& info) { return std::string(info.param.name); });

void PrintTo(const BlockShape& shape, std::ostream* out) {
    *out << "{" << shape.offset << ", " << shape.count << "}";
}

TEST(TransferBlocks, OddStartPutsFillCharactersFirst) {
    const RecordList records = {test::MakeRecord(kBase + 1, {0x12, 0x34, 0x56})};
    RecordList blocks;
    ASSERT_EQ(BuildTransferBlocks(records, blocks, 256, 256), 0);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(std::string(blocks[0].hexText.data(), 8), "FF123456");
}

TEST(TransferBlocks, KeepsTheCharactersAsWritten) {
    HexRecord record = test::MakeRecord(kBase, {0xAB, 0xCD, 0xEF, 0x01});
    std::string lower = "abcdef01";
    std::copy(lower.begin(), lower.end(), record.hexText.begin());
    RecordList blocks;
    ASSERT_EQ(BuildTransferBlocks({record}, blocks, 128, 128), 0);
    EXPECT_EQ(std::string(blocks[0].hexText.data(), 8), lower);
}

}  // namespace
}  // namespace qv
