// The Qt host of the write job on its own: worker results, progress shown before the worker
// goes on, and a window nobody can close while a worker runs.

#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtTest/QTest>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QVBoxLayout>
#include <atomic>
#include <thread>
#include <vector>

#include "app/qt_job_host.h"
#include "scripted_prompts.h"

namespace qv::test {
namespace {

// Notes the bar's value each time it is painted on the window's thread.
class PaintWatcher final : public QObject {
  public:
    std::atomic<int> lastPainted{-100};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            lastPainted = static_cast<QProgressBar*>(watched)->value();
        }
        return false;
    }
};

class Window final : public QWidget, public LockableWindow {
  public:
    Window() : bar(new QProgressBar(this)), host(this, bar, *this, prompts) {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(bar);
        bar->setTextVisible(false);
    }
    void LockControls() override { ++locks; }
    void UnlockControls() override { ++unlocks; }

    ScriptedPrompts prompts;
    QProgressBar* bar;
    QtJobHost host;
    int locks = 0;
    int unlocks = 0;
};

TEST(QtJobHost, ProgressFromTheWorkerIsPaintedBeforeTheWorkerGoesOn) {
    Window window;
    window.show();
    PaintWatcher watcher;
    window.bar->installEventFilter(&watcher);
    constexpr int kBlocks = 40;
    window.host.SetProgressRange(0, kBlocks);

    std::vector<int> paintedWhenReturned;
    const int result = window.host.RunWorker([&] {
        for (int position = 1; position <= kBlocks; ++position) {
            window.host.SetProgressPosition(position);
            paintedWhenReturned.push_back(watcher.lastPainted.load());
        }
        return 7;
    });

    EXPECT_EQ(result, 7) << "the worker's own result";
    ASSERT_EQ(paintedWhenReturned.size(), static_cast<std::size_t>(kBlocks));
    for (int i = 0; i < kBlocks; ++i) {
        EXPECT_EQ(paintedWhenReturned[i], i + 1) << "position " << i + 1 << " not yet shown";
    }
    window.bar->removeEventFilter(&watcher);
}

TEST(QtJobHost, PositionsOutsideTheRangeShowEmptyOrFull) {
    Window window;
    window.host.SetProgressRange(0, 10);
    window.host.SetProgressPosition(4);
    EXPECT_EQ(window.bar->value(), 4);
    window.host.SetProgressPosition(25);
    EXPECT_EQ(window.bar->value(), 10);
    window.host.SetProgressPosition(-1);
    EXPECT_EQ(window.bar->value(), window.bar->minimum() - 1) << "the bar shows empty";
}

TEST(QtJobHost, NobodyClosesTheWindowWhileAWorkerRuns) {
    Window window;
    window.show();
    std::atomic<bool> finish{false};
    bool closeRefused = false;
    bool altF4Refused = false;
    QTimer::singleShot(20, &window, [&] {
        window.close();
        closeRefused = window.isVisible();
        QTest::keyClick(&window, Qt::Key_F4, Qt::AltModifier);
        altF4Refused = window.isVisible();
        QCoreApplication::quit();
        finish = true;
    });
    window.host.RunWorker([&] {
        while (!finish) {
            std::this_thread::yield();
        }
        return 1;
    });
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(altF4Refused);
    EXPECT_TRUE(window.isVisible());

    window.close();  // after the worker: closes as usual
    EXPECT_FALSE(window.isVisible());
}

TEST(QtJobHost, BoxesAndLocksGoToTheWindow) {
    Window window;
    window.prompts.answer = [](const ShownBox&) { return BoxAnswer::Cancel; };
    EXPECT_EQ(
        window.host.ShowMessage("text", "caption", BoxButtons::OkCancel, BoxIcon::Exclamation),
        BoxAnswer::Cancel);
    ASSERT_EQ(window.prompts.boxes.size(), 1u);
    EXPECT_EQ(window.prompts.boxes[0].caption, "caption");
    window.host.LockControls();
    window.host.UnlockControls();
    EXPECT_EQ(window.locks, 1);
    EXPECT_EQ(window.unlocks, 1);
}

}  // namespace
}  // namespace qv::test
