// A USB cable's driver as the preloaded shim plays it (tests/shims): the link asks for low
// latency as it opens a port and leaves the port's serial flags as it found them.

#include <gtest/gtest.h>
#include <linux/serial.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "pty_pair.h"
#include "serial/serial_link.h"
#include "shim_serial_flags.h"

namespace qv {
namespace {

class LowLatencyUnderShim : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        dir = testing::TempDir() + "qv_shim_flags_" + std::to_string(::getpid());
        std::filesystem::create_directories(dir);
        ::setenv("QV_SHIM_SERIAL_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("QV_SHIM_SERIAL_DIR");
        ::unsetenv("QV_SHIM_REFUSE_SERIAL_FLAGS");
        std::filesystem::remove_all(dir);
    }
    std::optional<unsigned> Flags() const { return test::ReadShimFlags(dir, pty.slavePath()); }

    test::PtyPair pty;
    std::string dir;
};

TEST_F(LowLatencyUnderShim, OnWhileOpenAndTheFlagsPutBackOnEveryClose) {
    struct Case {
        const char* what;
        unsigned before;
        bool refused;  // the driver answers TIOCSSERIAL with EPERM
    };
    const Case cases[] = {
        {"no flags", 0, false},
        {"other flags are kept", ASYNC_SPD_HI | ASYNC_SKIP_TEST, false},
        {"low latency on before stays on", ASYNC_LOW_LATENCY | ASYNC_SKIP_TEST, false},
        {"a refusal is no failure", ASYNC_SKIP_TEST, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.refused) {
            ::setenv("QV_SHIM_REFUSE_SERIAL_FLAGS", "1", 1);
        }
        ASSERT_TRUE(test::WriteShimFlags(dir, pty.slavePath(), c.before));
        const unsigned whileOpen = c.refused ? c.before : c.before | ASYNC_LOW_LATENCY;
        {
            SerialLink link;
            link.SetDevicePath(pty.slavePath());
            ASSERT_TRUE(link.Open());
            EXPECT_EQ(link.OpenedAdapterLatency().lowLatencyOn, !c.refused);
            EXPECT_EQ(Flags(), whileOpen);
            // A reopen under the same name passes through the closed port.
            ASSERT_TRUE(link.SetDevicePath(pty.slavePath()));
            EXPECT_EQ(Flags(), whileOpen);
            ASSERT_TRUE(link.Close());
            EXPECT_EQ(Flags(), c.before);
            ASSERT_TRUE(link.Open());
            EXPECT_EQ(Flags(), whileOpen);
        }  // the link's end closes the port
        EXPECT_EQ(Flags(), c.before);
        ::unsetenv("QV_SHIM_REFUSE_SERIAL_FLAGS");
    }
}

}  // namespace
}  // namespace qv
