// Writes as a cable paces them: a pause after a frame starts once the frame has left the line,
// and a port that stops taking bytes fails the write instead of hanging it.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link_on_pty.h"
#include "pty_pair.h"
#include "serial/serial_link.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

using LinePacing = test::LinkOnPty;

// A pseudo-terminal drains at once; the wait still lasts the bytes' time on the wire at the
// line's speed and framing: start bit, data bits, parity bit, stop bits.
TEST_F(LinePacing, AWriteHasLeftTheLineOnlyAfterItsWireTime) {
    struct Case {
        const char* line;
        std::size_t bytes;
        std::chrono::microseconds wireTime;
    };
    const Case cases[] = {
        {"1200,N,8,2", 20, 20 * 11 * 1'000'000us / 1200},
        {"9600,N,8,1", 100, 100 * 10 * 1'000'000us / 9600},
        {"9600,E,7,2", 100, 100 * 11 * 1'000'000us / 9600},
        {"38400,N,8,2", 263, 263 * 11 * 1'000'000us / 38400},
        {"115200,N,8,2", 263, 263 * 11 * 1'000'000us / 115200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(link.SetLineSettings(c.line));
        const auto start = Clock::now();
        ASSERT_TRUE(link.WriteMasked(Bytes(c.bytes, 0x57)));
        ASSERT_TRUE(link.WaitUntilSent());
        const auto waited = Clock::now() - start;
        EXPECT_GE(waited, c.wireTime);
        EXPECT_LT(waited, c.wireTime + 500ms);
        // Nothing more written: nothing more to wait for.
        const auto again = Clock::now();
        ASSERT_TRUE(link.WaitUntilSent());
        EXPECT_LT(Clock::now() - again, 50ms);
        pty.Read(c.bytes, 1s);
    }
}

// An answer shows that what was written has left the line: the wire-time floor must not make
// the link wait on after it (an acknowledged transfer writes faster than the wire on a
// pseudo-terminal, and the floor would pile up to minutes).
TEST_F(LinePacing, AnAnswerEndsTheWaitForTheWire) {
    ASSERT_TRUE(link.SetLineSettings("1200,N,8,2"));
    ASSERT_TRUE(link.WriteMasked(Bytes(263, 0x58)));  // 2.4 s at 1200 baud
    pty.Read(263, 1s);
    pty.Write(Bytes{0x06});
    Bytes answer(1);
    ASSERT_TRUE(link.ReadMasked(answer));
    const auto start = Clock::now();
    ASSERT_TRUE(link.WaitUntilSent());
    EXPECT_LT(Clock::now() - start, 500ms);
}

// The speed may change only once the bytes of the old speed are out.
TEST_F(LinePacing, ALineChangeWaitsForTheBytesOfTheOldSpeed) {
    ASSERT_TRUE(link.SetLineSettings("1200,N,8,2"));
    const auto start = Clock::now();
    ASSERT_TRUE(link.WriteMasked(Bytes(12, 0x0F)));  // 110 ms at 1200 baud
    ASSERT_TRUE(link.SetLineSettings("38400,N,8,2"));
    EXPECT_GE(Clock::now() - start, 110ms);
    EXPECT_EQ(pty.FarEndBaud(), 38400u);
}

// A peer that no longer reads (a frozen radio, a wedged adapter) fills the terminal's
// buffers; the write that finds them full fails after its wire time and an allowance.
TEST_F(LinePacing, AWriteToAPeerThatStopsReadingFails) {
    ASSERT_TRUE(link.SetLineSettings("230400,N,8,1"));
    const Bytes chunk(kTxScratchSize, 0x55);
    const auto start = Clock::now();
    int written = 0;
    auto failedAt = Clock::now();
    while (Clock::now() - start < 60s) {
        failedAt = Clock::now();
        if (!link.WriteMasked(chunk)) {
            break;
        }
        ++written;
    }
    const auto failingWrite = Clock::now() - failedAt;
    EXPECT_GT(written, 0);
    EXPECT_LT(Clock::now() - start, 60s) << "every write was taken: the peer never filled up";
    EXPECT_GE(failingWrite, 900ms);
    EXPECT_LT(failingWrite, 15s);
}

}  // namespace
}  // namespace qv
