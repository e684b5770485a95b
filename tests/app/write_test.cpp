// A whole Write through the window against the simulated radio: the confirmation, the
// progress bar, the closing box, and no way out while the job runs.

#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include "app/about_dialog.h"
#include "app_fixture.h"
#include "frontend/window_boxes.h"
#include "sim/simulator.h"

namespace qv::test {
namespace {

constexpr const char* kConfirmCaption = "Solvane Updater";
// Polls the window while the job runs on its own thread.
constexpr int kWatchIntervalMs = 2;

// What the window looked like while the job ran, seen from inside the job.
struct JobWatch {
    int highestPosition = -1;
    int positionsSeen = 0;
    bool exitEverEnabled = false;
    bool writeEverEnabled = false;
    bool windowEverHidden = false;
    bool aboutEverShown = false;  // F1 opened the About box while the radio waited
    int watchTicks = 0;
};

class WriteThroughWindow : public ::testing::Test {
  protected:
    void StartWith(const SimulatorOptions& options) {
        sim = Simulator::Start(options);
        ASSERT_NE(sim, nullptr);
        ports = std::make_unique<SerialPortsEnv>(std::vector<std::string>{sim->DevicePath()});
        app.Start({"qzx"});
        // Serial ports of this machine may come first; the technician picks the radio's.
        QComboBox* list = app.PortList();
        const int simEntry = list->findText(QString::fromStdString(sim->DevicePath()));
        ASSERT_GE(simEntry, 0);
        list->setCurrentIndex(simEntry);
        emit list->activated(simEntry);

        // A small Mot file keeps the transfer short.
        const QString motFile = WriteMotFile(dir, "small.srec", MotFileSpec{});
        ASSERT_FALSE(motFile.isEmpty()) << "srec_cat could not write the Mot file";
        app.LoadMotFileThroughSettings(motFile);
        ASSERT_TRUE(app.WriteButton()->isEnabled());
        app.prompts.boxes.clear();
    }

    // Presses Write with a watcher that, while the job runs, notes the
    // window's state and tries every way out (the close box, Alt+F4 and Escape) and F1.
    void PressWrite() {
        QTimer watcher;
        watcher.setInterval(kWatchIntervalMs);
        QObject::connect(&watcher, &QTimer::timeout, [this] {
            if (!app.window->JobRunning()) {
                return;
            }
            ++watch.watchTicks;
            if (auto* about = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget())) {
                watch.aboutEverShown = true;
                about->reject();
                return;
            }
            const int position = app.ProgressBar()->value();
            if (position > watch.highestPosition) {
                watch.highestPosition = position;
                ++watch.positionsSeen;
            }
            watch.exitEverEnabled |= app.ExitButton()->isEnabled();
            watch.writeEverEnabled |= app.WriteButton()->isEnabled();
            app.window->close();
            QTest::keyClick(app.window.get(), Qt::Key_F4, Qt::AltModifier);
            QTest::keyClick(app.window.get(), Qt::Key_Escape);
            QTest::keyClick(app.window.get(), Qt::Key_F1);
            watch.windowEverHidden |= !app.window->isVisible();
        });
        watcher.start();
        app.Write();
        watcher.stop();
    }

    void ExpectIdleAgain() {
        EXPECT_FALSE(app.window->JobRunning());
        EXPECT_TRUE(app.WriteButton()->isEnabled());
        EXPECT_TRUE(app.ExitButton()->isEnabled());
        EXPECT_TRUE(app.PortList()->isEnabled());
        EXPECT_TRUE(app.SpecialButton()->isEnabled());
        EXPECT_TRUE(app.window->isVisible());
        EXPECT_EQ(app.ProgressBar()->value(), app.ProgressBar()->minimum() - 1) << "bar empty";
        for (const MessageBox& box : app.prompts.boxes) {
            EXPECT_NE(box.text, "Do you wish to exit this program?") << "asked during the job";
        }
    }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<SerialPortsEnv> ports;
    QTemporaryDir dir;
    AppFixture app;
    JobWatch watch;
};

TEST_F(WriteThroughWindow, CompletesWithProgressAndNoWayOutMeanwhile) {
    StartWith(SimulatorOptions{});
    const int blocks = static_cast<int>(app.window->Presenter().Image().region1Blocks.size());
    int barAtCompletion = -2;
    int barMaximum = -2;
    bool lockedAtConfirmation = false;
    app.prompts.answer = [&](const MessageBox& box) {
        if (box.caption == kConfirmCaption) {
            lockedAtConfirmation = !app.WriteButton()->isEnabled() &&
                                   !app.ExitButton()->isEnabled() && !app.PortList()->isEnabled() &&
                                   !app.SpecialButton()->isEnabled();
            app.window->close();  // refused: no confirmation, window stays
        }
        if (box.text == "Writing completed.") {
            barAtCompletion = app.ProgressBar()->value();
            barMaximum = app.ProgressBar()->maximum();
        }
        return BoxAnswer::Ok;
    };
    PressWrite();

    ASSERT_EQ(app.prompts.boxes.size(), 2u);
    EXPECT_EQ(app.prompts.boxes[0], VersionChangeBox("SIM-0.9", "TEST-2.1"));
    EXPECT_EQ(app.prompts.boxes[1].text, "Writing completed.");

    EXPECT_TRUE(lockedAtConfirmation);
    EXPECT_EQ(barMaximum, blocks);
    EXPECT_EQ(barAtCompletion, blocks) << "the bar reached N before the closing box";
    EXPECT_GT(watch.watchTicks, 0) << "the window's events flowed during the job";
    EXPECT_FALSE(watch.exitEverEnabled);
    EXPECT_FALSE(watch.writeEverEnabled);
    EXPECT_FALSE(watch.windowEverHidden);
    EXPECT_FALSE(watch.aboutEverShown) << "F1 stopped the job between its steps";
    ExpectIdleAgain();

    ASSERT_TRUE(sim->WaitForJobs(1, std::chrono::seconds(5)));
    const SimReport report = sim->Report();
    EXPECT_TRUE(report.deviations.empty()) << report.deviations.front().message;
    ASSERT_EQ(report.jobLog.size(), 1u);
    EXPECT_TRUE(report.jobLog[0].checksumAcked);
}

TEST_F(WriteThroughWindow, CancelledAtTheConfirmationEndsWithItsOneBox) {
    StartWith(SimulatorOptions{});
    app.prompts.answer = [](const MessageBox& box) {
        return box.caption == kConfirmCaption && box.buttons == BoxButtons::OkCancel
                   ? BoxAnswer::Cancel
                   : BoxAnswer::Ok;
    };
    PressWrite();
    ASSERT_EQ(app.prompts.boxes.size(), 2u);
    EXPECT_EQ(app.prompts.boxes[1], CancelledBox());
    EXPECT_FALSE(watch.windowEverHidden);
    ExpectIdleAgain();
}

TEST_F(WriteThroughWindow, WrongModelEndsWithItsOneErrorBox) {
    SimulatorOptions options;
    options.faults.push_back(SimFault{SimFaultKind::WrongModel});
    StartWith(options);
    PressWrite();
    ASSERT_EQ(app.prompts.boxes.size(), 1u);
    EXPECT_EQ(app.prompts.boxes[0].text, "Check Model Name and Market Code.");
    EXPECT_FALSE(watch.windowEverHidden);
    ExpectIdleAgain();
}

}  // namespace
}  // namespace qv::test
