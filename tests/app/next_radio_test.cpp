// "Update the next radio automatically" against simulated radios in turn on one port: the
// window writes radio after radio without asking again, counts and logs them, and stops
// waiting at once when asked; a refused radio is sent away, a failed write ends the loop.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <chrono>
#include <functional>
#include <optional>

#include "app/app_storage.h"
#include "app_fixture.h"
#include "sim/simulator.h"

namespace qv::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kConfirmCaption = "Solvane Updater";
constexpr const char* kCompleted = "Writing completed.";
constexpr const char* kConnectionMessage =
    "Ensure that all connections between the transceiver and the PC as well as the COM port "
    "settings are in place.\nPlease try again.";
// The wait ends within one poll of the link-up (half a second); without the stop a round in
// which nobody answers goes on for about twenty seconds.
constexpr auto kStopBound = 4s;
// The stop comes while the link-up is under way, not as the round starts.
constexpr auto kWaitBeforeStop = 1s;
// A loop that has not ended by then is ended by the test: a failure, not a hang.
constexpr auto kGiveUp = 60s;

// Radios in turn on one simulated port: each answers the first speed tried, the next one as
// soon as the one before has left.
SimulatorOptions RadiosInTurn(int radios) {
    SimulatorOptions options;
    options.listenSpeed = 9600;
    options.radios = radios;
    options.between = 0ms;
    return options;
}

void StartLooping(AppFixture& app, const QTemporaryDir& dir, const std::string& device,
                  PaintedTexts& shown) {
    StartWindow(app, dir, device, shown);
    app.NextRadioCheck()->setChecked(true);
}

// The controls as they stood while the window waited for a radio and while it wrote one.
struct LoopWatch {
    bool waited = false;
    bool exitAlwaysOnWhileWaiting = true;
    bool checkAlwaysOnWhileWaiting = true;
    bool writeOrListEverOnWhileWaiting = false;
    bool exitOrCheckEverOnWhileWriting = false;
    std::optional<Clock::time_point> stoppedAt;
    Clock::time_point started;  // Write was pressed
    Clock::time_point ended;    // Write's click returned: the loop was over
};

// Presses Write and watches the window while the loop runs. Once the window
// has waited for kWaitBeforeStop with `updated` radios done, `stop` runs (never when updated
// is negative).
LoopWatch RunLoop(AppFixture& app, int updated, const std::function<void(AppFixture&)>& stop) {
    LoopWatch watch;
    std::optional<Clock::time_point> waitingSince;
    watch.started = Clock::now();
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        UpdaterDialog& window = *app.window;
        if (Clock::now() - watch.started > kGiveUp) {
            QTest::keyClick(&window, Qt::Key_Escape);
        }
        if (!window.JobRunning()) {
            return;
        }
        if (!window.WaitingForRadio()) {
            watch.exitOrCheckEverOnWhileWriting |=
                app.ExitButton()->isEnabled() || app.NextRadioCheck()->isEnabled();
            return;
        }
        watch.waited = true;
        watch.exitAlwaysOnWhileWaiting &= app.ExitButton()->isEnabled();
        watch.checkAlwaysOnWhileWaiting &= app.NextRadioCheck()->isEnabled();
        watch.writeOrListEverOnWhileWaiting |=
            app.WriteButton()->isEnabled() || app.PortList()->isEnabled();
        if (window.Presenter().UpdatedThisSession() != updated || watch.stoppedAt) {
            return;
        }
        if (!waitingSince) {
            waitingSince = Clock::now();
        } else if (Clock::now() - *waitingSince >= kWaitBeforeStop) {
            watch.stoppedAt = Clock::now();
            stop(app);
        }
    });
    watcher.start();
    app.Write();
    watch.ended = Clock::now();
    return watch;
}

void PressEscape(AppFixture& app) {
    QTest::keyClick(app.window.get(), Qt::Key_Escape);
}

std::vector<std::string> BoxTexts(const AppFixture& app) {
    std::vector<std::string> texts;
    for (const MessageBox& box : app.prompts.boxes) {
        texts.push_back(box.caption == kConfirmCaption ? "(version question)" : box.text);
    }
    return texts;
}

void ExpectIdleAfterTheLoop(const AppFixture& app) {
    EXPECT_FALSE(app.window->WaitingForRadio());
    EXPECT_FALSE(app.window->JobRunning());
    EXPECT_TRUE(app.window->isVisible());
    EXPECT_TRUE(app.WriteButton()->isEnabled());
    EXPECT_TRUE(app.ExitButton()->isEnabled());
    EXPECT_TRUE(app.PortList()->isEnabled());
    EXPECT_TRUE(app.NextRadioCheck()->isEnabled());
    EXPECT_EQ(app.window->cursor().shape(), Qt::ArrowCursor) << "a wait cursor was left";
}

struct StopWay {
    const char* name;
    std::function<void(AppFixture&)> stop;
    bool stillTicked;
};

void PrintTo(const StopWay& way, std::ostream* out) {
    *out << way.name;
}

class NextRadioLoop : public ::testing::TestWithParam<StopWay> {};

TEST_P(NextRadioLoop, WritesTwoRadiosCountsAndLogsThemThenStopsWaitingAtOnce) {
    auto sim = Simulator::Start(RadiosInTurn(2));
    ASSERT_NE(sim, nullptr);
    SerialPortsEnv ports({sim->DevicePath()});
    QTemporaryDir dir;
    AppFixture app;
    PaintedTexts shown;
    StartLooping(app, dir, sim->DevicePath(), shown);

    const LoopWatch watch = RunLoop(app, 2, GetParam().stop);

    ASSERT_TRUE(watch.stoppedAt) << "the window never waited after two radios";
    EXPECT_LT(watch.ended - *watch.stoppedAt, kStopBound) << "the wait did not stop at once";
    // The second radio is written without the question; the stop asks nothing, the silent
    // link-up shows no box.
    EXPECT_EQ(BoxTexts(app),
              (std::vector<std::string>{"(version question)", kCompleted, kCompleted}));

    const std::string port = sim->DevicePath();
    const std::string waiting = "Waiting for the next radio on " + port;
    std::vector<std::string> loopTexts;
    const auto first =
        std::find(shown.texts.begin(), shown.texts.end(), waiting + " (1 updated this session)");
    ASSERT_NE(first, shown.texts.end());
    std::copy_if(first, shown.texts.end(), std::back_inserter(loopTexts),
                 [](const std::string& text) { return !text.starts_with("Writing block "); });
    std::vector<std::string> expected = {waiting + " (1 updated this session)"};
    const std::vector<std::string> written = WrittenRadioSteps(port);
    expected.insert(expected.end(), written.begin(), written.end());
    expected.push_back(waiting + " (2 updated this session)");
    expected.push_back("Stopped waiting for the next radio on " + port +
                       " (2 updated this session)");
    EXPECT_EQ(loopTexts, expected);

    EXPECT_TRUE(watch.waited);
    EXPECT_TRUE(watch.exitAlwaysOnWhileWaiting);
    EXPECT_TRUE(watch.checkAlwaysOnWhileWaiting);
    EXPECT_FALSE(watch.writeOrListEverOnWhileWaiting);
    EXPECT_FALSE(watch.exitOrCheckEverOnWhileWriting);
    ExpectIdleAfterTheLoop(app);
    EXPECT_EQ(app.window->Presenter().UpdatedThisSession(), 2);
    EXPECT_EQ(app.NextRadioCheck()->isChecked(), GetParam().stillTicked);
    EXPECT_EQ(StoredNextRadioChoice(), GetParam().stillTicked);

    const std::vector<std::string> log = ServiceLogLines();
    ASSERT_EQ(log.size(), 2u);
    for (const std::string& line : log) {
        EXPECT_NE(line.find("\"outcome\":\"updated\""), std::string::npos) << line;
    }
    ASSERT_TRUE(sim->WaitForJobs(2, 5s));
    const SimReport report = sim->Report();
    EXPECT_TRUE(report.deviations.empty()) << report.deviations.front().message;
    ASSERT_EQ(report.jobLog.size(), 2u);
    for (int radio : {1, 2}) {
        const SimJobRecord& job = report.jobLog[static_cast<std::size_t>(radio - 1)];
        EXPECT_EQ(job.radio, radio);
        EXPECT_TRUE(job.checksumAcked) << "radio " << radio;
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoppedBy, NextRadioLoop,
    ::testing::Values(
        StopWay{"Escape", PressEscape, true},
        StopWay{"Exit",
                [](AppFixture& app) { QTest::mouseClick(app.ExitButton(), Qt::LeftButton); }, true},
        StopWay{"Untick", [](AppFixture& app) { app.NextRadioCheck()->click(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NextRadioLoopEnds, NotForARefusedRadioWhichIsSentAway) {
    SimulatorOptions options = RadiosInTurn(3);
    options.faults.push_back(SimFault{SimFaultKind::WrongModel, 2});
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    SerialPortsEnv ports({sim->DevicePath()});
    QTemporaryDir dir;
    AppFixture app;
    PaintedTexts shown;
    StartLooping(app, dir, sim->DevicePath(), shown);

    const LoopWatch watch = RunLoop(app, 2, PressEscape);

    ASSERT_TRUE(watch.stoppedAt) << "the window never waited after the third radio";
    EXPECT_EQ(BoxTexts(app),
              (std::vector<std::string>{"(version question)", kCompleted,
                                        "Check Model Name and Market Code.", kCompleted}));
    ExpectIdleAfterTheLoop(app);
    const std::vector<std::string> log = ServiceLogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[1].find("\"outcome\":\"refused\""), std::string::npos) << log[1];
    ASSERT_TRUE(sim->WaitForJobs(3, 5s));
    const SimReport report = sim->Report();
    ASSERT_EQ(report.jobLog.size(), 3u);
    EXPECT_TRUE(report.deviations.empty()) << report.deviations.front().message;
    // The end command before any write: the radio left its boot loader untouched.
    EXPECT_EQ(report.jobLog[1].end, "cancelled") << "the refused radio was not sent away";
    EXPECT_EQ(report.jobLog[1].blocks, 0);
    EXPECT_EQ(report.jobLog[2].radio, 3);
    EXPECT_TRUE(report.jobLog[2].checksumAcked);
}

// The next radio on the cable fails its write: the technician must see to it, so the loop ends
// with its box, and no wait follows.
TEST(NextRadioLoopEnds, WithTheBoxOfAFailedWrite) {
    QTemporaryDir dir;
    auto good = Simulator::Start(RadiosInTurn(1));
    SimulatorOptions failing = RadiosInTurn(1);
    failing.faults.push_back(SimFault{SimFaultKind::BadChecksum});
    auto bad = Simulator::Start(failing);
    ASSERT_TRUE(good && bad);
    const std::string cable = dir.filePath(QStringLiteral("cable")).toStdString();
    ASSERT_EQ(symlink(good->DevicePath().c_str(), cable.c_str()), 0);
    SerialPortsEnv ports({cable});
    AppFixture app;
    PaintedTexts shown;
    StartLooping(app, dir, cable, shown);
    app.prompts.answer = [&](const MessageBox& box) {
        if (box.text == kCompleted) {  // the next radio comes on the same port
            EXPECT_EQ(unlink(cable.c_str()), 0);
            EXPECT_EQ(symlink(bad->DevicePath().c_str(), cable.c_str()), 0);
        }
        return BoxAnswer::Ok;
    };

    const LoopWatch watch = RunLoop(app, -1, PressEscape);

    EXPECT_LT(watch.ended - watch.started, kGiveUp) << "the loop had to be stopped";
    EXPECT_EQ(BoxTexts(app),
              (std::vector<std::string>{"(version question)", kCompleted, kConnectionMessage}));
    EXPECT_EQ(app.prompts.boxes.back().caption, "Error");
    ExpectIdleAfterTheLoop(app);
    EXPECT_EQ(app.StatusLine()->text().toStdString(),
              "Checking failed on " + cable +
                  ": Ver. SIM-0.9 -> Ver. TEST-2.1 not completed, write again");
    EXPECT_EQ(app.window->Presenter().UpdatedThisSession(), 1);
    const std::vector<std::string> log = ServiceLogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[1].find("\"outcome\":\"failed\""), std::string::npos) << log[1];
}

}  // namespace
}  // namespace qv::test
