// The window's tests run on one thread, the window's, as the program does.

#include "winapp/windows_header.h"

#include <commctrl.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
