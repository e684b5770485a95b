// Every application test runs real widgets on Qt's offscreen platform, with a home folder of
// its own: the window keeps the radio's port in the user's settings and a service log in the
// user's data folder, and a test must never touch the real user's.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QtCore/QStandardPaths>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    // Also when CTest lists the tests, before it sets the test environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char home[] = "/tmp/qv-app-test-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        return 1;
    }
    setenv("HOME", home, 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    QStandardPaths::setTestModeEnabled(true);
    int result = 0;
    {
        QApplication application(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
