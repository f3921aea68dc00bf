// A UserDialogs for tests: answers come from queues the test fills beforehand, and
// every dialog and message shown is recorded.
#pragma once

#include <QList>
#include <QString>
#include <deque>
#include <optional>

#include "gui/user_dialogs.h"

struct ShownMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

struct FileDialogRequest {
    QString title;
    QString filter;
    QString initialFolder;
    QString proposedName;  // Save dialogs only
};

class ScriptedDialogs final : public UserDialogs {
public:
    // Answers, taken front first. A file dialog with no queued answer is cancelled;
    // a print dialog with no queued answer is cancelled too.
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<bool> printAnswers;
    std::deque<bool> askAnswers;  // an empty queue answers No
    int saveTypeAnswer = 0;       // the file type selected in every Save dialog
    int messageAnswer = 1;  // what every message box returns

    // What was shown, in order.
    QList<ShownMessage> messages;
    QList<ShownMessage> questions;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<QString> printRequests;

    int message(QWidget* parent, const QString& text, const QString& title,
                MessageIcon icon) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                        const QString& filter,
                                        const QString& initialFolder) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& initialFolder,
                                        const QString& proposedName,
                                        int* chosenType = nullptr) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer, const QString& title) override;

    // Forgets everything recorded (the queues stay).
    void clearRecords();
};
