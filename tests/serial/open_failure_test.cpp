// A port that cannot be opened leaves the link closed and no descriptor behind.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "pty_pair.h"
#include "serial/serial_link.h"

namespace qv {
namespace {

TEST(SerialLinkOpen, FailuresLeaveNoDescriptor) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SerialLink holder;
    holder.SetDevicePath(pty.slavePath());
    ASSERT_TRUE(holder.Open());

    const std::string regularFile = testing::TempDir() + "qv_not_a_terminal";
    std::ofstream(regularFile) << "not a terminal";

    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"missing device", "/dev/qv-no-such-port"},
        {"regular file", regularFile},
        {"port another holder has open", pty.slavePath()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SerialLink link;
        link.SetDevicePath(c.path);
        const int before = test::CountOpenDescriptors();
        EXPECT_FALSE(link.Open());
        EXPECT_FALSE(link.IsOpen());
        EXPECT_FALSE(link.SetOpen(true));
        EXPECT_EQ(test::CountOpenDescriptors(), before);
    }
    std::remove(regularFile.c_str());

    // Once the holder lets go, the port is free again: no exclusive mark is left behind.
    ASSERT_TRUE(holder.Close());
    SerialLink next;
    next.SetDevicePath(pty.slavePath());
    EXPECT_TRUE(next.Open());
}

}  // namespace
}  // namespace qv
