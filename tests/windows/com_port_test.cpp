// SerialLink on a real COM port whose far end reads nothing: under Wine, a port linked to a
// pseudo-terminal of a stopped simulator (scripts/wine-check sets QV_TEST_STALLED_PORT to
// its number). Such a port has no modem lines, as many virtual and USB ports have none.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

#include "protocol/protocol_constants.h"
#include "serial/serial_link.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class StalledComPort : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* number = std::getenv("QV_TEST_STALLED_PORT");
        if (number == nullptr || *number == '\0') {
            GTEST_SKIP() << "SKIPPED: QV_TEST_STALLED_PORT names no COM port (scripts/wine-check "
                            "sets it)";
        }
        link.SetPortNumber(std::atoi(number));
    }

    SerialLink link;
};

TEST_F(StalledComPort, OpensAndChangesSpeedWithoutModemLines) {
    ASSERT_TRUE(link.Open());
    for (const auto speed : kSpeedTable) {
        EXPECT_TRUE(link.SetLineSettings(std::string(speed) + ",N,8,2")) << speed;
    }
    ASSERT_TRUE(link.SetReadTimeout(300ms));
    std::array<std::uint8_t, 4> reply{};
    const auto start = Clock::now();
    EXPECT_FALSE(link.ReadMasked(reply));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 250ms);
    EXPECT_LT(waited, 5s);
    EXPECT_TRUE(link.Close());
}

// The far end takes nothing, so the driver's buffer fills and a write cannot finish: it must
// end as a failure after its time-out, not block the job and not count as sent.
TEST_F(StalledComPort, AWriteThatCannotFinishFails) {
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.SetLineSettings("115200,N,8,2"));
    const std::array<std::uint8_t, kTxScratchSize> frame{};
    constexpr int kEnoughToFillAnyBuffer = 200;
    bool failed = false;
    auto slowest = Clock::duration::zero();
    for (int i = 0; i < kEnoughToFillAnyBuffer && !failed; ++i) {
        const auto start = Clock::now();
        failed = !link.WriteMasked(frame);
        slowest = std::max(slowest, Clock::now() - start);
    }
    EXPECT_TRUE(failed) << "every write reported success on a port that takes nothing";
    // Its wire time (0.2 s) and the allowance: about 1.2 s; far more means no time-out.
    EXPECT_LT(slowest, 15s);
    link.Close();
}

}  // namespace
}  // namespace qv
