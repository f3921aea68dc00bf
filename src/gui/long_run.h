// A long piece of file work run on the interface thread: the window keeps painting,
// a progress dialog appears when the work lasts (small files show none), the user can
// cancel it, and the window's own commands are held off until it ends.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include "core/file_result.h"

class QProgressDialog;
class QWidget;

class LongRun final : public QObject {
    Q_OBJECT

public:
    // window: the window whose input is held off. label: what the dialog says.
    LongRun(QWidget* window, const QString& label);
    ~LongRun() override;

    LongRun(const LongRun&) = delete;
    LongRun& operator=(const LongRun&) = delete;

    // Changes the dialog's text for the next stage of the same run.
    void setLabel(const QString& label);

    // Asks the work to stop at its next progress report.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

    // The callback handed to the engine: updates the dialog now and then, lets the
    // window's pending events run, and returns false once the run is cancelled.
    kestrava::Progress progress();

    // How long to wait before the dialog appears.
    static constexpr int kDialogDelayMs = 600;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool report(std::uint64_t done, std::uint64_t total);

    QPointer<QWidget> window_;
    QProgressDialog* dialog_ = nullptr;
    QElapsedTimer sinceEvents_;
    bool cancelled_ = false;
    bool reported_ = false;
};
