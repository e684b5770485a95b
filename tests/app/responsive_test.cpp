// The window keeps answering while a job runs: its loop turns within 100 ms through every wait
// of the job, a radio that takes its whole allowed time over each erase and a silent radio's
// link-up among them, the status line and the bar move, and nobody closes the window meanwhile.

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <set>

#include "app_fixture.h"
#include "frontend/window_boxes.h"
#include "sim/simulator.h"
#include "workflow/job_messages.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

// The longest the window's loop may stand still during a job.
constexpr qint64 kLongestStillMs = 100;
// How often the watcher asks the loop to turn.
constexpr int kTickMs = 10;

// What a timer on the window's loop saw while the job ran.
struct LoopWatch {
    qint64 longestStillMs = 0;
    int ticks = 0;
    std::set<std::string> statuses;
    int highestBar = -1;
    bool everClosed = false;
};

LoopWatch WriteWatched(AppFixture& app) {
    LoopWatch watch;
    QElapsedTimer sinceLastTick;
    sinceLastTick.start();
    QTimer ticker;
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!app.window->JobRunning()) {
            sinceLastTick.restart();
            return;
        }
        watch.longestStillMs = std::max(watch.longestStillMs, sinceLastTick.restart());
        ++watch.ticks;
        watch.statuses.insert(app.StatusLine()->text().toStdString());
        watch.highestBar = std::max(watch.highestBar, app.ProgressBar()->value());
        app.window->close();  // refused while the job runs
        watch.everClosed |= !app.window->isVisible();
    });
    ticker.start();
    app.Write();
    return watch;
}

// A radio with one fault on the window's only port, the window ready to write a small image.
class Responsive : public ::testing::Test {
  protected:
    void StartWith(SimFaultKind fault) {
        SimulatorOptions options;
        options.listenSpeed = 9600;
        options.faults.push_back(SimFault{fault});
        sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        ports = std::make_unique<SerialPortsEnv>(std::vector<std::string>{sim->DevicePath()});
        StartWindow(app, dir, sim->DevicePath(), shown);
    }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<SerialPortsEnv> ports;
    QTemporaryDir dir;
    AppFixture app;
    PaintedTexts shown;
};

TEST_F(Responsive, ThroughARadioThatTakesItsWholeTimeOverEachErase) {
    StartWith(SimFaultKind::LateArea);

    QElapsedTimer took;
    took.start();
    const LoopWatch watch = WriteWatched(app);

    EXPECT_GE(took.elapsed(), 7 * 2000) << "the radio did not hold its answers back";
    EXPECT_LT(watch.longestStillMs, kLongestStillMs);
    EXPECT_GT(watch.ticks, 500);
    EXPECT_TRUE(watch.statuses.count("Erasing")) << "the status line stood still";
    EXPECT_GT(watch.highestBar, 0) << "the bar stood still";
    EXPECT_FALSE(watch.everClosed);
    ASSERT_FALSE(app.prompts.boxes.empty());
    EXPECT_EQ(app.prompts.boxes.back().text, kWritingCompletedMessage);
    ASSERT_TRUE(sim->WaitForJobs(1, 5s));
    EXPECT_TRUE(sim->Report().jobLog.at(0).checksumAcked);
}

TEST_F(Responsive, ThroughASilentRadiosLinkUp) {
    StartWith(SimFaultKind::SilentLinkup);

    const LoopWatch watch = WriteWatched(app);

    EXPECT_LT(watch.longestStillMs, kLongestStillMs);
    EXPECT_GE(watch.statuses.size(), 7u) << "each speed tried is said as it is tried";
    EXPECT_FALSE(watch.everClosed);
    WriteJobOutcome silent;
    silent.closingMessage = kConnectionMessage;
    EXPECT_EQ(app.prompts.boxes, (std::vector<MessageBox>{*OutcomeBox(silent)}));
    EXPECT_TRUE(app.WriteButton()->isEnabled());
}

}  // namespace
}  // namespace qv::test
