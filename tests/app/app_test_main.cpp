// Every application test runs real widgets on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    // Also when CTest lists the tests, before it sets the test environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
