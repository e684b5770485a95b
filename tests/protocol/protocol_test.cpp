// The session mask, the speed switch and the acknowledgements over a pseudo-terminal.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "protocol/frames.h"
#include "protocol/radio_link.h"
#include "pty_pair.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class ProtocolOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        link.SetDevicePath(pty.slavePath());
        ASSERT_TRUE(link.Open());
    }

    // Answers the next byte the link sends with `reply`, on the far end's own thread.
    std::thread AnswerNextByte(Bytes reply) {
        return std::thread([this, reply] {
            if (!pty.Read(1, 2s).empty()) {
                pty.Write(reply);
            }
        });
    }

    test::PtyPair pty;
    RadioLink link;
};

// In both modes the mask equals idSum XOR the session byte the radio received.
TEST_F(ProtocolOnPty, SessionMaskFollowsTheSessionByte) {
    std::array<std::uint8_t, kIdentificationSize> block{};
    std::iota(block.begin(), block.end(), 0xF0);  // bytes 32..43 are 0x10..0x1B
    const std::uint8_t expectedSum = 0x02;        // 258 wraps
    for (const std::uint8_t unencrypted : {0, 1}) {
        SCOPED_TRACE(static_cast<int>(unencrypted));
        link.unencryptedLink = unencrypted;
        link.sessionMask = 0x77;
        const std::uint8_t seed = link.StartSession();
        EXPECT_EQ(link.sessionMask, 0);
        EXPECT_LE(seed, unencrypted ? 0 : 118);
        EXPECT_EQ(link.SumIdentification(block), expectedSum);
        ASSERT_TRUE(link.WriteSessionByte());
        const Bytes sessionByte = pty.Read(1, 1s);
        ASSERT_EQ(sessionByte.size(), 1u);
        EXPECT_EQ(link.SetSessionMask(block), expectedSum ^ sessionByte[0]);
        EXPECT_EQ(link.sessionMask, unencrypted ? 0 : expectedSum ^ seed);
    }
}

TEST_F(ProtocolOnPty, SwitchSpeedKeepsTheTailAndTheTimeout) {
    ASSERT_TRUE(link.SetLineSettings("9600,N,8,1"));
    ASSERT_TRUE(link.SetReadTimeout(700ms));
    EXPECT_EQ(link.LineTail(), ",N,8,1");
    const std::pair<int, unsigned> cases[] = {{kSpeedCode115200, 115200},
                                              {kSpeedCode57600, 57600},
                                              {kSpeedCode38400, 38400},
                                              {kSpeedCode19200, 19200},
                                              {9, 19200},
                                              {0, 19200}};
    for (const auto& [code, baud] : cases) {
        link.SwitchSpeed(code);
        EXPECT_EQ(link.GetLineSettings(), std::to_string(baud) + ",N,8,1") << code;
        EXPECT_EQ(pty.FarEndBaud(), baud) << code;
        EXPECT_EQ(pty.FarEndStopBits(), 1);
        EXPECT_EQ(link.GetReadTimeout(), 700ms);
    }
}

TEST_F(ProtocolOnPty, AckExchangeNeedsAnAckBack) {
    link.sessionMask = 0x21;  // both directions are masked
    const std::pair<std::uint8_t, bool> cases[] = {
        {kAck ^ 0x21, true}, {kAck, false}, {0x15 ^ 0x21, false}};
    for (const auto& [wire, expected] : cases) {
        std::thread farEnd = AnswerNextByte({wire});
        EXPECT_EQ(link.AckExchange(), expected) << static_cast<int>(wire);
        farEnd.join();
    }
}

TEST_F(ProtocolOnPty, WaitForAckWaitsThreeSecondsAndRestoresTheTimeout) {
    pty.Write(Bytes{kAck});
    EXPECT_TRUE(link.WaitForAck());
    pty.Write(Bytes{0x15});
    EXPECT_FALSE(link.WaitForAck());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.WaitForAck());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 2900ms);
    EXPECT_LT(elapsed, 6s);
    EXPECT_EQ(link.GetReadTimeout(), 1000ms);
}

}  // namespace
}  // namespace qv
