#include "app/qt_job_host.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QMetaObject>
#include <QtCore/QThread>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QWidget>

#include "workflow/worker_thread.h"

namespace qv {

QtJobHost::QtJobHost(QWidget* window, QProgressBar* progressBar, LockableWindow& controls,
                     Prompts& prompts)
    : window_(window), progressBar_(progressBar), controls_(controls), prompts_(prompts) {}

BoxAnswer QtJobHost::ShowMessage(const std::string& text, const std::string& caption,
                                 BoxButtons buttons, BoxIcon icon) {
    return prompts_.ShowMessage(window_, text, caption, buttons, icon);
}

void QtJobHost::LockControls() {
    controls_.LockControls();
}

void QtJobHost::UnlockControls() {
    controls_.UnlockControls();
}

void QtJobHost::SetProgressRange(int low, int high) {
    OnWindowThread([this, low, high] { progressBar_->setRange(low, high); });
}

void QtJobHost::SetProgressPosition(int position) {
    OnWindowThread([this, position] {
        // Below the range the bar shows empty; above it, full.
        if (position < progressBar_->minimum()) {
            progressBar_->reset();
        } else {
            progressBar_->setValue(std::min(position, progressBar_->maximum()));
        }
        // Painted now, not when the loop gets to it: the worker goes on once this returns.
        progressBar_->repaint();
    });
}

void QtJobHost::ShowStatus(const std::string& text, StatusKind /*kind*/) {
    const QString shown = QString::fromStdString(text);
    OnWindowThread([this, shown] { controls_.ShowJobStatus(shown); });
}

void QtJobHost::OnWindowThread(const std::function<void()>& action) {
    if (QThread::currentThread() == progressBar_->thread()) {
        action();
        return;
    }
    QMetaObject::invokeMethod(progressBar_, action, Qt::BlockingQueuedConnection);
}

int QtJobHost::RunWorker(const std::function<int()>& work) {
    bool workerDone = false;
    CloseRequestSwallower swallower;
    QCoreApplication::instance()->installEventFilter(&swallower);

    WorkerThread worker;
    // The worker's last word: it returns only once the window's thread has taken it.
    const bool started = worker.Start(work, [this, &workerDone] {
        QMetaObject::invokeMethod(
            window_, [&workerDone] { workerDone = true; }, Qt::BlockingQueuedConnection);
    });
    // Sleeps until events arrive and handles them: the window keeps painting, and nothing
    // that ends event loops can end this wait before the worker has.
    while (started && !workerDone) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    // A worker that could not start counts as a failed step.
    const int result = started ? worker.Join() : 0;

    QCoreApplication::instance()->removeEventFilter(&swallower);
    return result;
}

bool CloseRequestSwallower::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
        case QEvent::Close:
        case QEvent::Quit:
            event->ignore();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            return (key->modifiers() & Qt::AltModifier) != 0 || key->key() == Qt::Key_Alt ||
                   key->key() == Qt::Key_F10;
        }
        default:
            return false;
    }
}

}  // namespace qv
