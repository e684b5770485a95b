// qv-updater.exe: the desktop firmware updater for the QV-310 and QV-410 (hardware 2.0) as a
// Windows dialog program.

#include "winapp/windows_header.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "frontend/job_log.h"
#include "frontend/program_answer.h"
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

// A window program has no console of its own: the answer goes to the output it was given (a
// pipe or a file), else to the console of the prompt that started it, else into a box.
void PrintAnswer(const std::string& text) {
    std::string lines;
    for (const char c : text) {
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        MessageBoxW(nullptr, qv::Wide(text).c_str(), L"qv-updater", MB_OK | MB_ICONINFORMATION);
    } else if (GetConsoleMode(out, &mode) != 0) {
        const std::wstring wide = qv::Wide(lines);
        WriteConsoleW(out, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const std::vector<std::string> arguments = CommandLineArguments();
    if (const auto answer = qv::AnswerWithoutWindow(arguments)) {
        PrintAnswer(*answer);
        return 0;
    }
    const INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The one link of the program: every exchange with the radio goes through it.
    qv::RadioLink link;
    qv::Win32Prompts prompts;
    qv::RegistrySettingsStore store;
    qv::ServiceLogFile serviceLog(qv::ServiceLogPath());
    qv::UpdaterDialog window(link, arguments, prompts, store, serviceLog);
    window.RunModal();
    // The program ends with its window, however the window ended.
    return 0;
}
