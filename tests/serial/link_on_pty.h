#pragma once
// A SerialLink opened on a real pseudo-terminal; the test is the far end.

#include <gtest/gtest.h>

#include "pty_pair.h"
#include "serial/serial_link.h"

namespace qv::test {

class LinkOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        link.SetDevicePath(pty.slavePath());
        ASSERT_TRUE(link.Open());
    }

    PtyPair pty;
    SerialLink link;
};

}  // namespace qv::test
