// What the Windows serial layer makes of the system's answers: the control block built from
// a line text, the time-outs, a refused modem line, a short write.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
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

// A write's budget is what is left to its deadline; when nothing is left it must still end at
// once, never turn into the "no limit" that zero means to the system.
TEST(CommTimeouts, ReadsKeepTheirLimitAndWritesEndByTheirDeadline) {
    using std::chrono::milliseconds;
    struct Case {
        milliseconds writeBudget;
        DWORD writeConstant;
    };
    const Case cases[] = {
        {milliseconds{1263}, 1263},
        {milliseconds{1}, 1},
        {milliseconds{0}, 1},
        {milliseconds{-40}, 1},
    };
    for (const auto& c : cases) {
        const COMMTIMEOUTS timeouts =
            LinkTimeouts(milliseconds{1000}, milliseconds{0}, c.writeBudget);
        EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, c.writeConstant) << c.writeBudget.count();
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1000u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    }
    const COMMTIMEOUTS perByte = LinkTimeouts(milliseconds{3000}, milliseconds{2}, milliseconds{5});
    EXPECT_EQ(perByte.ReadTotalTimeoutConstant, 3000u);
    EXPECT_EQ(perByte.ReadTotalTimeoutMultiplier, 2u);
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
