// Frames and commands as bytes on the wire.

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "protocol/frames.h"
#include "protocol/protocol_constants.h"

namespace qv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BlockFrame(std::uint8_t lead, std::uint32_t address, const Bytes& data) {
    std::array<std::uint8_t, kMaxBlockFrame> frame{};
    const std::size_t length = BuildBlockFrame(lead, address, data, frame);
    return Bytes(frame.begin(), frame.begin() + static_cast<long>(length));
}

TEST(Frames, BlockFrames) {
    Bytes full(256);
    std::iota(full.begin(), full.end(), 0);  // sums to 0x7F80: 0x80 on the wire
    struct Case {
        const char* what;
        Bytes frame;
        Bytes expected;
    };
    const Case cases[] = {
        {"two bytes",
         BlockFrame(0x57, 0x08010000, {0x01, 0x02}),
         {0x57, 0x08, 0x01, 0x00, 0x00, 0x02, 0x01, 0x02, 0x03}},
        {"sum wraps",
         BlockFrame(0x58, 0x080DFFFE, {0xFF, 0x02}),
         {0x58, 0x08, 0x0D, 0xFF, 0xFE, 0x02, 0xFF, 0x02, 0x01}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame, c.expected) << c.what;
    }
    const Bytes longest = BlockFrame(0x58, 0x08012300, full);
    ASSERT_EQ(longest.size(), 263u);
    EXPECT_EQ(longest[5], 0x00);
    EXPECT_EQ(Bytes(longest.begin() + 6, longest.end() - 1), full);
    EXPECT_EQ(longest.back(), 0x80);
    EXPECT_TRUE(BlockFrame(0x57, 0x08010000, Bytes(257)).empty());
}

TEST(Frames, CommandsAndChecksumFrame) {
    using A3 = std::array<std::uint8_t, 3>;
    EXPECT_EQ(BuildAreaCommand(4), (A3{0x52, 0x30, 0x34}));
    EXPECT_EQ(BuildAreaCommand(10), (A3{0x52, 0x31, 0x30}));
    EXPECT_EQ(BuildSpeedChangeCommand(kSpeedCode38400), (std::array<std::uint8_t, 2>{0x0F, 0x02}));
    const ChecksumFrame frame = BuildChecksumFrame(0xF010);
    EXPECT_EQ(frame.lead, 0xF3);
    EXPECT_EQ(frame.first, (std::array<std::uint8_t, 4>{0x08, 0x01, 0x00, 0x00}));
    EXPECT_EQ(frame.last, (std::array<std::uint8_t, 4>{0x08, 0x0D, 0xFF, 0xEF}));
    EXPECT_EQ(frame.sum, (std::array<std::uint8_t, 2>{0xF0, 0x10}));
}

}  // namespace
}  // namespace qv
