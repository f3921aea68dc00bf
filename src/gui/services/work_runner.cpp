#include "gui/services/work_runner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <thread>

namespace {

constexpr int kSteps = 1000;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Wheel: return true;
    default: return false;
    }
}

}  // namespace

WorkRunner::WorkRunner(QWidget* window, QString cancelText)
    : window_(window), cancelText_(std::move(cancelText))
{ }

WorkRunner::~WorkRunner() = default;

bool WorkRunner::run(const QString& title, const QString& label, const Work& work,
                     const std::function<QString()>& currentLabel)
{
    if (busy_)
        return false;
    const QScopedValueRollback<bool> busy(busy_, true);
    stop_.store(false);
    done_.store(0);
    total_.store(0);

    QEventLoop loop;
    std::atomic<bool> finished{false};
    const kestrava::Progress progress = [this](std::uint64_t done, std::uint64_t total) {
        done_.store(done, std::memory_order_relaxed);
        total_.store(total, std::memory_order_relaxed);
        return !stop_.load(std::memory_order_relaxed);
    };

    // The dialog is made now and shown only when the run lasts.
    QProgressDialog dialog(label, cancelText_, 0, kSteps, window_);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.reset();
    dialog.hide();
    connect(&dialog, &QProgressDialog::canceled, this, [this] { stop_.store(true); });

    QElapsedTimer started;
    started.start();
    QTimer poll;
    poll.setInterval(kPollMs);
    // The text and the bar as the work stands: set before the dialog is first shown,
    // so that its first frame is never drawn without them.
    const auto bringUpToDate = [&] {
        if (currentLabel) {
            const QString text = currentLabel();
            if (text != dialog.labelText())
                dialog.setLabelText(text);
        }
        const std::uint64_t total = total_.load(std::memory_order_relaxed);
        const std::uint64_t done = std::min(done_.load(std::memory_order_relaxed), total);
        const int value = total == 0 ? 0 : int(done * kSteps / total);
        if (value != dialog.value())
            dialog.setValue(value);
    };
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished.load()) {
            loop.quit();
            return;
        }
        if (!dialog.isVisible() && started.elapsed() >= kDialogDelayMs && !stop_.load()) {
            bringUpToDate();
            dialog.adjustSize();  // a longer text than the first one gets its room
            dialog.show();
        } else if (dialog.isVisible()) {
            bringUpToDate();
        }
    });

    qApp->installEventFilter(this);
    std::thread worker([&] {
        work(progress);
        finished.store(true);
        // Wakes the loop at once rather than at the next poll.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    poll.start();
    while (!finished.load())
        loop.exec();
    worker.join();
    poll.stop();
    qApp->removeEventFilter(this);
    dialog.hide();
    return !stop_.load();
}

bool WorkRunner::eventFilter(QObject* watched, QEvent* event)
{
    // Input meant for the held window (its menus and controls) is dropped; the
    // progress dialog and other windows still get theirs.
    if (window_ && isUserInput(event->type()) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == window_)
            return true;
    }
    return QObject::eventFilter(watched, event);
}
