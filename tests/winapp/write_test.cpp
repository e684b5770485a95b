// Write through the window against the simulated radios on COM ports: a whole update from a
// Mot file at a folder whose name is no ASCII, no way out while the job runs, a cancel at the
// confirmation, and the window answering and painting through the job's longest waits.

#include <cstdio>
#include <set>
#include <string>

#include "frontend/window_boxes.h"
#include "loop_probe.h"
#include "message_timers.h"
#include "winapp/resource_ids.h"
#include "window_fixture.h"
#include "workflow/job_messages.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

// The window is looked at this often while the job runs.
constexpr auto kWatchInterval = 20ms;
// The longest job here: seven area commands answered late, or a link-up nobody answers.
constexpr auto kJobLimit = 60s;
// The window answers a message and paints within this throughout a job, beyond what an idle
// window of the program takes in the same moments.
constexpr auto kAnswerBound = 100ms;

// What the window looked like while the job ran, seen from its own loop, and what every way
// out did meanwhile.
struct JobWatch {
    int ticks = 0;
    std::set<std::wstring> statuses;
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

    // Presses Write and runs the window's loop until the job has ended, while a watcher notes
    // the window's state and tries every way out: Exit, the close box, Alt+F4, a quit request,
    // F1 and the About command; and hands the dialog manager its own WM_USER + 1, DM_SETDEFID.
    void PressWrite() {
        const HWND dialog = window->Handle();
        WhilePumping watcher(kWatchInterval, [this, dialog] {
            if (!Presenter().JobRunning()) {
                return;
            }
            ++watch.ticks;
            watch.statuses.insert(Text(IDC_STATUS_LINE));
            if (FindThreadWindow(L"Updater for QV-310/QV-410(HW V2.0)         Ver. R731-2T")) {
                watch.aboutEverShown = true;
            }
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
        EXPECT_TRUE(RunWindowUntil([this] { return !Presenter().JobRunning(); }, kJobLimit))
            << "the job did not end";
    }

    void ExpectIdleAgain() {
        // A quit request or Alt+F4 made during the job and still queued at its end would act
        // here, in the loop of an idle window.
        RunWindowUntil([] { return false; }, 200ms);
        EXPECT_FALSE(window->Ended()) << "a way out tried during the job acted after it";
        EXPECT_FALSE(Presenter().JobRunning());
        EXPECT_TRUE(Enabled(IDC_WRITE));
        EXPECT_TRUE(Enabled(IDCANCEL));
        EXPECT_TRUE(Enabled(IDC_PORT_LIST));
        EXPECT_TRUE(Enabled(IDC_SPECIAL_SETTINGS));
        EXPECT_FALSE(CloseGreyed());
        EXPECT_EQ(ProgressPosition(), 0) << "the bar shows empty";
        EXPECT_FALSE(watch.hidden);
        EXPECT_GT(watch.ticks, 0) << "the window's loop ran during the job";
        EXPECT_FALSE(watch.exitEverEnabled);
        EXPECT_FALSE(watch.writeEverEnabled);
        EXPECT_FALSE(watch.closeEverOffered);
        EXPECT_FALSE(watch.aboutEverShown) << "F1 opened the About box during the job";
        for (const MessageBox& box : prompts.boxes) {
            EXPECT_NE(box, ExitQuestionBox()) << "asked during the job";
        }
        // DM_SETDEFID reached the dialog manager instead of ending the job.
        EXPECT_EQ(LOWORD(SendMessageW(window->Handle(), DM_GETDEFID, 0, 0)), IDC_WRITE);
    }

    JobWatch watch;
};

TEST_F(WriteThroughWindow, UpdatesTheRadioWithNoWayOutMeanwhile) {
    StartWithMotFile(radios.radio);
    const int jobsBefore = WaitForRadioJobs(0).jobs;
    const int blocks = static_cast<int>(Presenter().Image().region1Blocks.size());
    bool lockedAtConfirmation = false;
    int barAtCompletion = -2;
    prompts.answer = [&](const MessageBox& box) {
        if (box.buttons == BoxButtons::OkCancel) {
            lockedAtConfirmation = !Enabled(IDC_WRITE) && !Enabled(IDCANCEL) &&
                                   !Enabled(IDC_PORT_LIST) && !Enabled(IDC_SPECIAL_SETTINGS) &&
                                   !Enabled(IDC_NEXT_RADIO) && CloseGreyed();
        } else {
            barAtCompletion = ProgressPosition();
        }
        return BoxAnswer::Ok;
    };
    PressWrite();

    WriteJobOutcome written;
    written.succeeded = true;
    written.closingMessage = kWritingCompletedMessage;
    EXPECT_EQ(prompts.boxes, (std::vector<MessageBox>{VersionChangeBox("SIM-0.9", "MOT-2.00"),
                                                      *OutcomeBox(written)}));
    EXPECT_TRUE(lockedAtConfirmation) << "Write, Exit, the list and Close are off during a job";
    EXPECT_EQ(barAtCompletion, blocks) << "the bar reached N before the closing box";
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

// Cancel at the question: its box, and the radio sent out of its boot loader.
TEST_F(WriteThroughWindow, ACancelAtTheQuestionLetsTheRadioGo) {
    StartWithMotFile(radios.radio);
    const int jobsBefore = WaitForRadioJobs(0).jobs;
    prompts.answer = [](const MessageBox& box) {
        return box.buttons == BoxButtons::OkCancel ? BoxAnswer::Cancel : BoxAnswer::Ok;
    };
    PressWrite();
    EXPECT_EQ(prompts.boxes,
              (std::vector<MessageBox>{VersionChangeBox("SIM-0.9", "MOT-2.00"), CancelledBox()}));
    ExpectIdleAgain();
    const RadioReport report = WaitForRadioJobs(jobsBefore + 1);
    EXPECT_TRUE(report.deviations.empty()) << report.deviations.front();
    EXPECT_EQ(report.lastEnd, "cancelled") << "the end command sent the radio away";
}

// The job's longest waits run away from the window's thread: a radio that answers each of the
// seven area commands only near the end of its three seconds, and one that never answers the
// link-up (about twenty seconds). Meanwhile a message sent to the window is answered, and an
// invalidated bar painted, within 100 ms of what an idle window of the program takes then (the
// machine's own stalls, which every window shares, are not the window's).
TEST_F(WriteThroughWindow, AnswersAndPaintsThroughTheLongestWaits) {
    struct Case {
        const char* name;
        int TestRadios::*port;
        std::vector<MessageBox> boxes;
        const wchar_t* statusSeen;  // the status line showed it while the radio took its time
        std::size_t statusesAtLeast;
    };
    WriteJobOutcome silent;
    silent.closingMessage = kConnectionMessage;
    WriteJobOutcome written;
    written.succeeded = true;
    written.closingMessage = kWritingCompletedMessage;
    const Case cases[] = {
        {"late area answers",
         &TestRadios::lateArea,
         {VersionChangeBox("SIM-0.9", "MOT-2.00"), *OutcomeBox(written)},
         L"Erasing",
         1},
        // Each speed tried is said as it is tried.
        {"a radio that never answers", &TestRadios::silent, {*OutcomeBox(silent)}, nullptr, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartWithMotFile(radios.*c.port);
        const auto started = std::chrono::steady_clock::now();
        LoopProbe probe(window->Handle(), Item(IDC_PROGRESS));
        PressWrite();
        const auto took = std::chrono::steady_clock::now() - started;
        probe.RequestStop();
        EXPECT_TRUE(RunWindowUntil([&] { return probe.Stopped(); }, 30s));
        const LoopTimes times = probe.Stop();

        EXPECT_EQ(prompts.boxes, c.boxes);
        ExpectIdleAgain();
        EXPECT_GE(watch.statuses.size(), c.statusesAtLeast) << "the status line stood still";
        if (c.statusSeen != nullptr) {
            EXPECT_TRUE(watch.statuses.count(c.statusSeen)) << "the status line stood still";
        }
        EXPECT_GT(took, 15s) << "the radio's waits were not as long as meant";
        EXPECT_GT(times.probes, 100);
        EXPECT_LT(times.answerBeyondIdle, kAnswerBound);
        EXPECT_LT(times.repaintBeyondIdle, kAnswerBound);
        const auto ms = [](std::chrono::milliseconds time) {
            return static_cast<long long>(time.count());
        };
        std::printf(
            "%s: %d probes in %lld ms; slowest answer %lld ms (at %lld ms), %lld ms beyond the "
            "idle window's; slowest repaint %lld ms (at %lld ms), %lld ms beyond\n",
            c.name, times.probes, ms(std::chrono::duration_cast<std::chrono::milliseconds>(took)),
            ms(times.slowestAnswer), ms(times.slowestAnswerAt), ms(times.answerBeyondIdle),
            ms(times.slowestRepaint), ms(times.slowestRepaintAt), ms(times.repaintBeyondIdle));
        window.reset();
        watch = JobWatch{};
    }
}

}  // namespace
}  // namespace qv::test
