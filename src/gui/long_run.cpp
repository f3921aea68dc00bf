#include "gui/long_run.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>

namespace {

// How often pending events are let run during the work: often enough to keep the
// window painting, rarely enough not to slow the work down.
constexpr qint64 kEventIntervalMs = 25;
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
        return true;
    default:
        return false;
    }
}

}  // namespace

LongRun::LongRun(QWidget* window, const QString& label) : window_(window)
{
    dialog_ = new QProgressDialog(label, QProgressDialog::tr("Cancel"), 0, kSteps, window);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(kDialogDelayMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    connect(dialog_, &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
    dialog_->setValue(0);
    qApp->installEventFilter(this);
    sinceEvents_.start();
}

LongRun::~LongRun()
{
    qApp->removeEventFilter(this);
    delete dialog_;
}

void LongRun::setLabel(const QString& label)
{
    dialog_->setLabelText(label);
}

kestrava::Progress LongRun::progress()
{
    return [this](std::uint64_t done, std::uint64_t total) { return report(done, total); };
}

bool LongRun::report(std::uint64_t done, std::uint64_t total)
{
    // The first report always lets events run, later ones after an interval.
    if (!cancelled_ && (!reported_ || sinceEvents_.elapsed() >= kEventIntervalMs)) {
        reported_ = true;
        const int value = total == 0 ? 0
                                     : static_cast<int>(std::min<std::uint64_t>(done, total) *
                                                        kSteps / total);
        dialog_->setValue(value);
        QCoreApplication::processEvents();
        sinceEvents_.restart();
    }
    return !cancelled_;
}

bool LongRun::eventFilter(QObject* watched, QEvent* event)
{
    // Input meant for the held window (its menus and controls) is dropped; the
    // progress dialog and other windows still get theirs.
    if (window_ && isUserInput(event->type()) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == window_ || widget == window_)
            return true;
    }
    return QObject::eventFilter(watched, event);
}
