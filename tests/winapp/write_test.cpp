// Write through the window against the simulated radios on COM ports: a whole update from a
// Mot file at a folder whose name is no ASCII, no way out while the job runs, a cancel at the
// confirmation and a radio that never answers.

#include <string>

#include "message_timers.h"
#include "winapp/resource_ids.h"
#include "window_fixture.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kConfirmCaption = "Solvane Updater";
constexpr const char* kConnectionMessage =
    "Ensure that all connections between the transceiver and the PC as well as the COM port "
    "settings are in place.\nPlease try again.";
// The window is looked at this often while the job's waits pump its messages.
constexpr auto kWatchInterval = 20ms;

// What the window looked like while the job ran, seen from inside the job, and what every
// way out did meanwhile.
struct JobWatch {
    int ticks = 0;
    int highestPosition = -1;
    bool exitEverEnabled = false;
    bool writeEverEnabled = false;
    bool closeEverOffered = false;
    bool hidden = false;
    bool aboutEverShown = false;
};

class WriteThroughWindow : public WindowTest {
  protected:
    // The designer mode with a small Mot file under the user's folder: a short transfer.
    void StartWithMotFile(int port) {
        Start({"qzx"});
        const auto file = WriteMotFile("radio.srec", "MOT-2.00");
        LoadMotFileThroughSettings(file);
        ASSERT_EQ(Title(), L"Updater for QV-310/QV-410(HW V2.0)         Ver. MOT-2.00")
            << "the file at " << file.string() << " was not loaded";
        ASSERT_TRUE(SelectPort(port));
        ASSERT_TRUE(Enabled(IDC_WRITE));
        prompts.boxes.clear();
    }

    // Presses Write while a watcher, whenever the job lets messages through, notes the window's
    // state and tries every way out: Exit, the close box, Alt+F4, a quit request, F1 and the
    // About command; and hands the dialog manager its own WM_USER + 1, DM_SETDEFID.
    void PressWrite() {
        const HWND dialog = window->Handle();
        WhilePumping watcher(kWatchInterval, [this, dialog] {
            if (!window->JobRunning()) {
                return;
            }
            ++watch.ticks;
            if (FindThreadWindow(L"Updater for QV-310/QV-410(HW V2.0)         Ver. R731-2T")) {
                watch.aboutEverShown = true;
            }
            watch.highestPosition = std::max(watch.highestPosition, ProgressPosition());
            watch.exitEverEnabled |= Enabled(IDCANCEL);
            watch.writeEverEnabled |= Enabled(IDC_WRITE);
            watch.closeEverOffered |= !CloseGreyed();
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            SendMessageW(dialog, WM_CLOSE, 0, 0);
            PostMessageW(dialog, WM_SYSKEYDOWN, VK_F4, 1 << 29);
            PostQuitMessage(0);
            HELPINFO help{};
            help.cbSize = sizeof(help);
            SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            SendMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUT, 0);
            SendMessageW(dialog, DM_SETDEFID, IDC_WRITE, 0);
            watch.hidden |= !IsWindowVisible(dialog);
        });
        Click(IDC_WRITE);
    }

    void ExpectIdleAgain() {
        EXPECT_FALSE(window->JobRunning());
        EXPECT_TRUE(Enabled(IDC_WRITE));
        EXPECT_TRUE(Enabled(IDCANCEL));
        EXPECT_TRUE(Enabled(IDC_PORT_LIST));
        EXPECT_TRUE(Enabled(IDC_SPECIAL_SETTINGS));
        EXPECT_FALSE(CloseGreyed());
        EXPECT_EQ(ProgressPosition(), 0) << "the bar shows empty";
        EXPECT_FALSE(window->Ended());
        EXPECT_FALSE(watch.hidden);
        for (const ShownBox& box : prompts.boxes) {
            EXPECT_NE(box.text, "Do you wish to exit this program?") << "asked during the job";
        }
        // A quit request that came during a worker wait never reaches the window's loop.
        MSG quit;
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), 0);
    }

    JobWatch watch;
};

TEST_F(WriteThroughWindow, UpdatesTheRadioWithNoWayOutMeanwhile) {
    StartWithMotFile(radios.radio);
    const int jobsBefore = WaitForRadioJobs(0).jobs;
    const int blocks = static_cast<int>(window->Image().region1Blocks.size());
    bool lockedAtConfirmation = false;
    int barAtCompletion = -2;
    prompts.answer = [&](const ShownBox& box) {
        if (box.caption == kConfirmCaption) {
            lockedAtConfirmation = !Enabled(IDC_WRITE) && !Enabled(IDCANCEL) &&
                                   !Enabled(IDC_PORT_LIST) && !Enabled(IDC_SPECIAL_SETTINGS) &&
                                   !Enabled(IDC_NEXT_RADIO) && CloseGreyed();
        }
        if (box.text == "Writing completed.") {
            barAtCompletion = ProgressPosition();
        }
        return BoxAnswer::Ok;
    };
    PressWrite();

    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[0].text,
              " Please confirm the version change: \n Ver. SIM-0.9 -> Ver. MOT-2.00\n"
              "Do you want to continue?");
    EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(prompts.boxes[1].text, "Writing completed.");
    EXPECT_EQ(prompts.boxes[1].caption, "Updater for QV-310/QV-410(HW V2.0)");
    EXPECT_EQ(prompts.boxes[1].icon, BoxIcon::Information);
    EXPECT_TRUE(lockedAtConfirmation) << "Write, Exit, the list and Close are off during a job";
    EXPECT_EQ(barAtCompletion, blocks) << "the bar reached N before the closing box";
    EXPECT_GT(watch.ticks, 0) << "the window's messages flowed during the workers";
    EXPECT_FALSE(watch.exitEverEnabled);
    EXPECT_FALSE(watch.writeEverEnabled);
    EXPECT_FALSE(watch.closeEverOffered);
    EXPECT_FALSE(watch.aboutEverShown) << "F1 stopped the job between its steps";
    // DM_SETDEFID reached the dialog manager instead of ending a worker's wait.
    EXPECT_EQ(LOWORD(SendMessageW(window->Handle(), DM_GETDEFID, 0, 0)), IDC_WRITE);
    ExpectIdleAgain();
    EXPECT_EQ(Text(IDC_STATUS_LINE).rfind(L"Writing completed on COM", 0), 0u);

    const RadioReport report = WaitForRadioJobs(jobsBefore + 1);
    EXPECT_EQ(report.jobs, jobsBefore + 1);
    EXPECT_TRUE(report.deviations.empty()) << report.deviations.front();
    EXPECT_TRUE(report.lastChecksumAcked) << "the radio's flash matches what was sent";

    // The service log under the user's folder, and the port remembered for the next start.
    const std::vector<std::string> lines = ServiceLogLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string port = "COM" + std::to_string(radios.radio);
    EXPECT_NE(lines[0].find("\"port\":\"" + port + "\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"outcome\":\"updated\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"result\":\"Writing completed.\""), std::string::npos) << lines[0];
    EXPECT_EQ(store->Value("radioPort"), port);
}

TEST_F(WriteThroughWindow, EndsAsTheRadioAndTheUserDecide) {
    struct Case {
        const char* name;
        bool silentRadio;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"cancelled at the confirmation",
         false,
         {"(version question)", "Operation has been canceled"}},
        {"a radio that never answers", true, {kConnectionMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMotFile(c.silentRadio ? radios.silent : radios.radio);
        const int jobsBefore = WaitForRadioJobs(0).jobs;
        prompts.answer = [](const ShownBox& box) {
            return box.buttons == BoxButtons::OkCancel ? BoxAnswer::Cancel : BoxAnswer::Ok;
        };
        PressWrite();
        std::vector<std::string> shown;
        for (const ShownBox& box : prompts.boxes) {
            shown.push_back(box.buttons == BoxButtons::OkCancel ? "(version question)" : box.text);
        }
        EXPECT_EQ(shown, c.boxes);
        const ShownBox& last = prompts.boxes.back();
        EXPECT_EQ(last.caption, c.silentRadio ? "Error" : kConfirmCaption);
        EXPECT_EQ(last.icon, c.silentRadio ? BoxIcon::Stop : BoxIcon::Exclamation);
        ExpectIdleAgain();
        if (!c.silentRadio) {
            const RadioReport report = WaitForRadioJobs(jobsBefore + 1);
            EXPECT_TRUE(report.deviations.empty()) << report.deviations.front();
            EXPECT_EQ(report.lastEnd, "cancelled") << "the end command sent the radio away";
        }
        window.reset();
        watch = JobWatch{};
        prompts.boxes.clear();
    }
}

}  // namespace
}  // namespace qv::test
