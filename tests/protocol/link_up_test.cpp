// LinkUpProbe against a far end that hears and answers only at its listening speed.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "far_end.h"
#include "protocol/radio_link.h"

namespace qv {
namespace {

using namespace std::chrono_literals;

constexpr auto kCallersReadTimeout = 1234ms;

// The speeds the link-up announced, in order.
class SpeedsTried final : public LinkUpObserver {
  public:
    void OnSpeedTried(std::string_view speed) override { speeds.emplace_back(speed); }
    std::vector<std::string> speeds;
};

class LinkUp : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        link.SetDevicePath(pty.slavePath());
        ASSERT_TRUE(link.Open());
        ASSERT_TRUE(link.SetReadTimeout(kCallersReadTimeout));
        link.SetLinkUpObserver(&tried);
    }

    // Runs the link-up against the far end; returns the probes the wire carried.
    std::vector<test::HeardProbe> Run(std::set<unsigned> listenBauds, int ackWithheld = 0) {
        test::LinkUpFarEnd farEnd(pty, std::move(listenBauds), ackWithheld);
        const auto start = std::chrono::steady_clock::now();
        result = link.LinkUpProbe();
        elapsed = std::chrono::steady_clock::now() - start;
        farEnd.Stop();
        return farEnd.Probes();
    }

    static std::vector<unsigned> Bauds(const std::vector<test::HeardProbe>& probes) {
        std::vector<unsigned> bauds;
        for (const auto& probe : probes) {
            bauds.push_back(probe.baud);
        }
        return bauds;
    }

    void ExpectLinkedAt19200(int stopBits) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(pty.FarEndBaud(), 19200u);
        EXPECT_EQ(pty.FarEndStopBits(), stopBits);
        EXPECT_EQ(link.GetLineSettings(), "19200,N,8," + std::to_string(stopBits));
        EXPECT_EQ(link.GetReadTimeout(), kCallersReadTimeout);
        EXPECT_EQ(link.sessionMask, 0);
    }

    test::PtyPair pty;
    SpeedsTried tried;
    RadioLink link;
    int result = -1;
    std::chrono::steady_clock::duration elapsed{};
};

TEST_F(LinkUp, FoundAt19200OnTheSecondAttempt) {
    link.sessionMask = 0x5A;  // a new session starts unmasked
    const auto probes = Run({19200});
    ExpectLinkedAt19200(2);
    EXPECT_EQ(Bauds(probes), (std::vector<unsigned>{9600, 19200}));
    EXPECT_EQ(tried.speeds, (std::vector<std::string>{"9600", "19200"}));
    ASSERT_EQ(link.LastLinkUp().size(), 2u);
    EXPECT_FALSE(link.LastLinkUp()[0].synSeen);
    EXPECT_TRUE(link.LastLinkUp()[1].synSeen && link.LastLinkUp()[1].ackSeen);
    EXPECT_GT(elapsed, 2s);  // the silent first attempt costs about 2.7 s
    EXPECT_LT(elapsed, 8s);
}

TEST_F(LinkUp, SynAt4800AndAckAt19200) {
    const auto probes = Run({4800});
    ExpectLinkedAt19200(2);
    EXPECT_EQ(Bauds(probes), (std::vector<unsigned>{9600, 19200, 4800}));
    ASSERT_EQ(link.LastLinkUp().size(), 3u);
    EXPECT_EQ(link.LastLinkUp()[2].speed, "4800");
    EXPECT_TRUE(link.LastLinkUp()[2].synSeen && link.LastLinkUp()[2].ackSeen);
}

TEST_F(LinkUp, SynWithoutAckMovesOnWithANewProbe) {
    const auto probes = Run({9600, 19200}, 1);
    ExpectLinkedAt19200(2);
    EXPECT_EQ(Bauds(probes), (std::vector<unsigned>{9600, 19200}));
    ASSERT_EQ(link.LastLinkUp().size(), 2u);
    EXPECT_TRUE(link.LastLinkUp()[0].synSeen);
    EXPECT_FALSE(link.LastLinkUp()[0].ackSeen);
    EXPECT_TRUE(link.LastLinkUp()[1].ackSeen);
}

TEST_F(LinkUp, OneStopBitFromTheFirstProbeOn) {
    link.linkStopBits = 1;
    const auto probes = Run({9600});
    ExpectLinkedAt19200(1);
    ASSERT_EQ(probes.size(), 1u);
    EXPECT_EQ(probes[0].baud, 9600u);
    EXPECT_EQ(probes[0].stopBits, 1);
}

TEST_F(LinkUp, NeverFoundAt115200) {
    const auto probes = Run({115200});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Bauds(probes), (std::vector<unsigned>{9600, 19200, 4800, 2400, 1200, 38400, 57600}));
    EXPECT_EQ(tried.speeds, (std::vector<std::string>{"9600", "19200", "4800", "2400", "1200",
                                                      "38400", "57600"}));
    EXPECT_EQ(link.LastLinkUp().size(), 7u);
    for (const auto& attempt : link.LastLinkUp()) {
        EXPECT_FALSE(attempt.synSeen) << attempt.speed;
    }
    EXPECT_EQ(link.GetLineSettings(), "57600,N,8,2");
    EXPECT_EQ(link.GetReadTimeout(), kCallersReadTimeout);
    EXPECT_GT(elapsed, 15s);  // seven silent attempts of about 2.7 s
    EXPECT_LT(elapsed, 30s);
}

TEST(LinkUpClosed, FailedProbeWriteEndsAtOnce) {
    RadioLink link;
    link.SetDevicePath("/dev/qv-no-such-port");
    ASSERT_TRUE(link.SetReadTimeout(kCallersReadTimeout));
    EXPECT_EQ(link.LinkUpProbe(), 1);
    EXPECT_EQ(link.LastLinkUp().size(), 1u);
    EXPECT_EQ(link.GetReadTimeout(), kCallersReadTimeout);
}

}  // namespace
}  // namespace qv
