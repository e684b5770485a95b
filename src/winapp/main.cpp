// qv-updater.exe: the desktop firmware updater for the QV-310 and QV-410 (hardware 2.0) as a
// Windows dialog program.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "protocol/radio_link.h"
#include "winapp/app_storage.h"
#include "winapp/prompts.h"
#include "winapp/updater_dialog.h"
#include "winapp/wide_text.h"

namespace {

// The command line as the system holds it (UTF-16), without the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) {
        arguments.push_back(qv::Utf8(words[i]));
    }
    LocalFree(words);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The one link of the program: every exchange with the radio goes through it.
    qv::RadioLink link;
    qv::Win32Prompts prompts;
    qv::RegistrySettingsStore store;
    qv::UpdaterDialog window(link, CommandLineArguments(), prompts, store, qv::ServiceLogPath());
    window.RunModal();
    // The program ends with its window, however the window ended.
    return 0;
}
