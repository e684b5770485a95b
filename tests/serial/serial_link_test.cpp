// SerialLink over a real pseudo-terminal; the test is the far end.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link_on_pty.h"
#include "protocol/protocol_constants.h"
#include "pty_pair.h"
#include "serial/serial_link.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

using SerialLinkOnPty = test::LinkOnPty;

TEST_F(SerialLinkOnPty, FarEndSeesEverySpeedAndStopBits) {
    for (const auto speed : kSpeedTable) {
        for (const int stopBits : {1, 2}) {
            const std::string text = std::string(speed) + ",N,8," + std::to_string(stopBits);
            SCOPED_TRACE(text);
            ASSERT_TRUE(link.SetLineSettings(text));
            const termios far = pty.FarEndSettings();
            EXPECT_EQ(test::BaudOf(cfgetospeed(&far)), std::stoul(std::string(speed)));
            EXPECT_EQ(pty.FarEndStopBits(), stopBits);
            EXPECT_EQ(far.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
            EXPECT_EQ(far.c_cflag & PARENB, 0u);
            EXPECT_EQ(far.c_lflag & (ICANON | ECHO), 0u);
        }
    }
}

// A pseudo-terminal always reports 8 data bits and no parity, so parity and data bits are
// checked only as accepted or refused.
TEST_F(SerialLinkOnPty, LineTextsParseLikeTheWindowsOnes) {
    struct Case {
        const char* text;
        bool applies;
        const char* stored;
    };
    const Case cases[] = {
        {"9600, N, 8, 2", true, "9600,N,8,2"},   {"4800,E,7,1", true, "4800,E,7,1"},
        {"2400,o,5,2", true, "2400,o,5,2"},      {"9600,M,8,2", false, "9600,M,8,2"},
        {"9600,S,8,2", false, "9600,S,8,2"},     {"9600,N,9,2", false, "9600,N,9,2"},
        {"9600,N,4,2", false, "9600,N,4,2"},     {"9600,N,8,1.5", false, "9600,N,8,1.5"},
        {"9600,N,8,3", false, "9600,N,8,3"},     {"9600,N,8", false, "9600,N,8"},
        {"9600,N,8,2,0", false, "9600,N,8,2,0"}, {"12345,N,8,2", false, "12345,N,8,2"},
        {"fast,N,8,2", false, "fast,N,8,2"},     {"0,N,8,2", false, "0,N,8,2"},
        {"9600,,8,2", false, "9600,,8,2"},       {"", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(link.SetLineSettings(c.text), c.applies);
        EXPECT_EQ(link.GetLineSettings(), c.stored);
    }
}

TEST_F(SerialLinkOnPty, RawBytesPassUnchangedBothWays) {
    const Bytes special = {0x00, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF, 0x03, 0x1A, 0x04};
    ASSERT_TRUE(link.WriteMasked(special));
    EXPECT_EQ(pty.Read(special.size(), 1s), special);

    pty.Write(special);
    Bytes received(special.size());
    ASSERT_TRUE(link.ReadMasked(received));
    EXPECT_EQ(received, special);
}

TEST_F(SerialLinkOnPty, ShortReadFailsAfterTheTimeout) {
    ASSERT_EQ(link.GetReadTimeout(), 1000ms);
    pty.Write(Bytes(47, 0x5A));
    Bytes block(48);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.ReadMasked(block));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 3000ms);
    EXPECT_EQ(link.LastReadCount(), 47u);
}

TEST_F(SerialLinkOnPty, WriteDiscardsBytesThatArrivedUnread) {
    pty.Write(Bytes{0xAA, 0xBB, 0xCC});
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(link.WriteMaskedByte(0x02));
    EXPECT_EQ(pty.Read(1, 1s), Bytes{0x02});
    pty.Write(Bytes{kAck});
    std::uint8_t answer = 0;
    ASSERT_TRUE(link.ReadMasked(std::span(&answer, 1)));
    EXPECT_EQ(answer, kAck);
}

TEST_F(SerialLinkOnPty, MaskedWriteAndReadRoundTrip) {
    const Bytes data = {0x00, 0x06, 0x16, 0x5A, 0xA5, 0xFF};
    for (const std::uint8_t mask : {0x00, 0x01, 0x5A, 0xA7, 0xFF}) {
        SCOPED_TRACE(static_cast<int>(mask));
        link.sessionMask = mask;
        ASSERT_TRUE(link.WriteMasked(data));
        const Bytes wire = pty.Read(data.size(), 1s);
        ASSERT_EQ(wire.size(), data.size());
        for (std::size_t i = 0; i < data.size(); ++i) {
            EXPECT_EQ(wire[i], data[i] ^ mask);
        }
        ASSERT_TRUE(link.WriteMaskedByte(0x40));
        EXPECT_EQ(pty.Read(1, 1s), Bytes{static_cast<std::uint8_t>(0x40 ^ mask)});
        pty.Write(wire);
        Bytes back(data.size());
        ASSERT_TRUE(link.ReadMasked(back));
        EXPECT_EQ(back, data);
    }
}

TEST_F(SerialLinkOnPty, SessionByteIsNeverMasked) {
    link.sessionMask = 0xA5;
    link.sessionSeed = 0x33;
    link.idSum = 0x7C;
    for (const auto& [unencrypted, expected] : {std::pair{0, 0x33}, std::pair{1, 0x7C}}) {
        link.unencryptedLink = static_cast<std::uint8_t>(unencrypted);
        ASSERT_TRUE(link.WriteSessionByte());
        EXPECT_EQ(pty.Read(1, 1s), Bytes{static_cast<std::uint8_t>(expected)});
    }
}

TEST_F(SerialLinkOnPty, WriteOfMoreThanTheScratchBufferIsRefused) {
    link.sessionMask = 0x3C;
    EXPECT_FALSE(link.WriteMasked(Bytes(kTxScratchSize + 1, 0x11)));
    EXPECT_TRUE(pty.Read(1, 200ms).empty());

    ASSERT_TRUE(link.WriteMasked(Bytes(kTxScratchSize, 0x11)));
    EXPECT_EQ(pty.Read(kTxScratchSize + 1, 1s), Bytes(kTxScratchSize, 0x11 ^ 0x3C));
}

TEST_F(SerialLinkOnPty, SettingsSurviveClosingAndReopening) {
    ASSERT_TRUE(link.SetLineSettings("38400,N,8,1"));
    ASSERT_TRUE(link.SetOpen(false));
    ASSERT_TRUE(link.SetOpen(false));
    ASSERT_TRUE(link.SetOpen(true));
    EXPECT_EQ(pty.FarEndBaud(), 38400u);
    EXPECT_EQ(pty.FarEndStopBits(), 1);

    ASSERT_TRUE(link.SetPortNumber(0));  // keeps the device, reopens it
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.DeviceName(), pty.slavePath());
    EXPECT_EQ(pty.FarEndBaud(), 38400u);
}

// Another program may have set the port up its own way; the link gives it back that way.
TEST(SerialLinkClose, PutsTheLineBackAsItWas) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const int other = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(other, &before), 0);
    cfsetspeed(&before, B4800);
    before.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(other, TCSANOW, &before), 0);
    close(other);

    SerialLink link;
    link.SetDevicePath(pty.slavePath());
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.SetLineSettings("115200,N,8,1"));
    EXPECT_EQ(pty.FarEndBaud(), 115200u);
    ASSERT_TRUE(link.Close());

    const termios after = pty.FarEndSettings();
    EXPECT_EQ(test::BaudOf(cfgetospeed(&after)), 4800u);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO), before.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(after.c_cflag & CSTOPB, before.c_cflag & CSTOPB);
}

TEST_F(SerialLinkOnPty, Rs232OnlyWhileOpen) {
    EXPECT_TRUE(link.IsRs232());
    ASSERT_TRUE(link.Close());
    EXPECT_FALSE(link.IsRs232());
    EXPECT_FALSE(link.Close());
}

class RecordingObserver : public TrafficObserver {
  public:
    struct Entry {
        Direction direction;
        Bytes data;
        Bytes wire;
        std::string line;
    };
    void OnTraffic(Direction direction, std::span<const std::uint8_t> data,
                   std::span<const std::uint8_t> wire, std::string_view line) override {
        entries.push_back({direction, Bytes(data.begin(), data.end()),
                           Bytes(wire.begin(), wire.end()), std::string(line)});
    }
    std::vector<Entry> entries;
};

TEST_F(SerialLinkOnPty, ObserverSeesDataAndWireOfEveryTransfer) {
    RecordingObserver observer;
    link.SetTrafficObserver(&observer);
    link.sessionMask = 0x0F;
    ASSERT_TRUE(link.SetReadTimeout(200ms));
    ASSERT_TRUE(link.WriteMasked(Bytes{0x50, 0x51}));
    pty.Read(2, 1s);
    pty.Write(Bytes{0x09});
    Bytes reply(2);
    EXPECT_FALSE(link.ReadMasked(reply));  // one byte of two: still seen

    ASSERT_EQ(observer.entries.size(), 2u);
    EXPECT_EQ(observer.entries[0].direction, Direction::Sent);
    EXPECT_EQ(observer.entries[0].data, (Bytes{0x50, 0x51}));
    EXPECT_EQ(observer.entries[0].wire, (Bytes{0x5F, 0x5E}));
    EXPECT_EQ(observer.entries[0].line, "9600,N,8,2");
    EXPECT_EQ(observer.entries[1].direction, Direction::Received);
    EXPECT_EQ(observer.entries[1].data, Bytes{0x06});
    EXPECT_EQ(observer.entries[1].wire, Bytes{0x09});
}

}  // namespace
}  // namespace qv
