// What the Windows serial layer makes of the system's answers: the control block built from
// a line text, the time-outs, a refused modem line, a short write.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "protocol/protocol_constants.h"
#include "serial/comm_settings_win32.h"

namespace qv {
namespace {

// The block as a port hands it out with our settings already applied: RTS off, DTR on.
DCB BlockOfAnOpenPort() {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    dcb.fBinary = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    return dcb;
}

// The link-up and the speed switch rewrite the line text many times on one open port: RTS
// must stay off through every change, or the radio sees it pulse.
TEST(LineControlBlock, RtsStaysOffThroughEverySpeedChange) {
    DCB dcb = BlockOfAnOpenPort();
    for (const auto speed : kSpeedTable) {
        for (const int stopBits : {1, 2}) {
            const std::string text = std::string(speed) + ",N,8," + std::to_string(stopBits);
            SCOPED_TRACE(text);
            ASSERT_TRUE(BuildLineControlBlock(text, dcb));
            EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
            EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
            EXPECT_FALSE(dcb.fOutxCtsFlow);
            EXPECT_FALSE(dcb.fOutxDsrFlow);
            EXPECT_FALSE(dcb.fOutX);
            EXPECT_FALSE(dcb.fInX);
            EXPECT_FALSE(dcb.fAbortOnError);
            EXPECT_EQ(dcb.BaudRate, std::stoul(std::string(speed)));
            EXPECT_EQ(dcb.ByteSize, 8);
            EXPECT_EQ(dcb.Parity, NOPARITY);
            EXPECT_EQ(dcb.StopBits, stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT);
        }
    }
    EXPECT_FALSE(BuildLineControlBlock("fast,N,8,2", dcb));
}

TEST(CommTimeouts, WritesGetTheirWireTimeAndAnAllowance) {
    struct Case {
        const char* line;
        DWORD perByte;  // whole milliseconds, rounded up
    };
    const Case cases[] = {
        {"1200,N,8,2", 10},   // 11 bits: 9.2 ms
        {"9600,E,8,1", 2},    // 11 bits: 1.15 ms
        {"19200,N,8,1", 1},   // 10 bits: 0.52 ms
        {"115200,N,8,2", 1},  // 11 bits: 0.1 ms
    };
    for (const auto& c : cases) {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadTotalTimeoutConstant = 1000;
        ASSERT_TRUE(SetWriteTimeouts(c.line, timeouts)) << c.line;
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, c.perByte) << c.line;
        EXPECT_GE(timeouts.WriteTotalTimeoutConstant, 100u) << c.line;
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1000u) << c.line;
    }
    COMMTIMEOUTS untouched{};
    EXPECT_FALSE(SetWriteTimeouts("9600,N,8", untouched));
}

TEST(SystemAnswers, OnlyAMissingLineIsForgivenAndOnlyAWholeWriteCounts) {
    EXPECT_TRUE(IsMissingModemLine(ERROR_NOT_SUPPORTED));  // Wine's pseudo-terminal
    EXPECT_TRUE(IsMissingModemLine(ERROR_INVALID_FUNCTION));
    EXPECT_FALSE(IsMissingModemLine(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(IsMissingModemLine(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(IsMissingModemLine(ERROR_GEN_FAILURE));

    struct Case {
        BOOL result;
        DWORD written;
        std::size_t wanted;
        bool completed;
    };
    const Case cases[] = {
        {TRUE, 263, 263, true},  {TRUE, 0, 0, true},
        {TRUE, 200, 263, false},  // the write time-out ran out
        {TRUE, 0, 1, false},     {FALSE, 263, 263, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteCompleted(c.result, c.written, c.wanted), c.completed)
            << c.written << " of " << c.wanted;
    }
}

}  // namespace
}  // namespace qv
