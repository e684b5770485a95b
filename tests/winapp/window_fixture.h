#pragma once
// The main window as the program builds it (the real templates, from the program's own
// resources), with scripted prompts, a settings key and a service log of its own, and the
// simulated radios that scripts/wine-check maps to COM ports under Wine. The window's loop runs
// while a test waits for the window, as the program runs it.

#include "winapp/windows_header.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/radio_link.h"
#include "scripted_prompts.h"
#include "winapp/app_storage.h"
#include "winapp/updater_dialog.h"

namespace qv::test {

// The COM ports of the simulated radios, named by scripts/wine-check in the environment.
struct TestRadios {
    int radio = 0;           // answers every job; its report in reportPath
    int silent = 0;          // never answers the link-up
    int loop = 0;            // answers one job, and the next radio only a minute after it left
    int lateArea = 0;        // answers each area command near the end of the job's wait
    std::string reportPath;  // the radio's --report file, as a Windows path
};

// What the radio's simulator has seen so far.
struct RadioReport {
    int jobs = 0;
    std::vector<std::string> deviations;
    bool lastChecksumAcked = false;
    std::string lastEnd;  // how the last job ended: "end command", "cancelled", ...
};
std::optional<RadioReport> ReadRadioReport(const std::string& path);

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window, which runs its start-up (boxes answered by the prompts).
    void Start(std::vector<std::string> arguments = {});
    const UpdaterPresenter& Presenter() const { return window->Presenter(); }
    // Runs the window's loop until done says so; false when limit passed first.
    bool RunWindowUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    HWND Item(int id) const { return GetDlgItem(window->Handle(), id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != 0; }
    std::wstring Text(int id) const;
    std::wstring Title() const;
    // The button pressed as a user does, through the button itself.
    void Click(int id);
    // The entry of COM port `number` chosen, as the user chooses it; false when not listed.
    bool SelectPort(int number);
    int SelectedPortNumber() const;
    bool CloseGreyed() const;
    int ProgressPosition() const;
    // In the designer mode: ticks "Use my Mot file", chooses file with "Refer" and presses OK.
    void LoadMotFileThroughSettings(const std::filesystem::path& file);
    // A small Mot file that passes the image checks, with the version label given.
    std::filesystem::path WriteMotFile(const std::string& name, const std::string& version) const;
    std::vector<std::string> ServiceLogLines() const;
    // The radio's report once it has seen `jobs` jobs.
    RadioReport WaitForRadioJobs(int jobs) const;

    TestRadios radios;
    RadioLink link;
    ScriptedPrompts prompts;
    std::unique_ptr<RegistrySettingsStore> store;
    std::wstring settingsKey;
    std::filesystem::path folder;      // the test's own, removed afterwards
    std::filesystem::path userFolder;  // inside it, a user's folder whose name is no ASCII
    std::filesystem::path serviceLog;
    std::unique_ptr<ServiceLogFile> serviceLogFile;
    std::unique_ptr<UpdaterDialog> window;
};

}  // namespace qv::test
