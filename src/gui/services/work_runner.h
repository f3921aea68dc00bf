// Long work of the window (open, relist, save, print) run on a worker thread, one run
// at a time. While a run is on, the window keeps painting and its own input is held
// off; a progress dialog appears when the run lasts (small files show none), and its
// Cancel asks the work to stop at its next progress report. run() returns only after
// the work has ended and the dialog is gone, so that a message shown next is never
// under it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

#include "core/files/file_result.h"

class QProgressDialog;
class QWidget;

class WorkRunner final : public QObject {
    Q_OBJECT

public:
    // window: the window whose input is held off and over which the dialog shows.
    // cancelText: the dialog's button ("Anuluj" in the Polish build).
    WorkRunner(QWidget* window, QString cancelText);
    ~WorkRunner() override;

    WorkRunner(const WorkRunner&) = delete;
    WorkRunner& operator=(const WorkRunner&) = delete;

    using Work = std::function<void(const kestrava::Progress&)>;

    // Runs work on a worker thread and waits for its end while the window's events
    // run. label: what the dialog says; title: its title. currentLabel, when set, gives
    // the dialog's text anew each time the dialog is brought up to date (on this
    // thread, from what the work has stored). Returns false when the run was cancelled
    // (by the dialog or by cancel()); the work itself says how it ended.
    bool run(const QString& title, const QString& label, const Work& work,
             const std::function<QString()>& currentLabel = {});

    bool busy() const { return busy_; }

    // Asks the running work to stop (closing the window does so).
    void cancel() { stop_.store(true); }

    // How long a run lasts before its dialog appears, and how often the dialog is
    // brought up to date.
    static constexpr int kDialogDelayMs = 600;
    static constexpr int kPollMs = 40;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QString cancelText_;
    bool busy_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
};
