// A UserDialogs for tests: answers come from what the test sets beforehand, and every
// dialog and message shown is recorded.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
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
    // File dialogs take their answers front first. With none queued the Open dialog is
    // cancelled and the Save dialog answers saveAnswer (empty: cancelled).
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    QString saveAnswer;
    int saveTypeAnswer = 0;  // the file type chosen in every Save dialog: 0 *.pfd, 1 *.xls
    bool askAnswer = false;  // the answer to every Yes/No question
    // The print dialog: accepted or cancelled; when accepted with pdfPath set, the chosen
    // printer writes a PDF file there; fromPage not 0 chooses a page range.
    bool acceptPrinter = false;
    QString pdfPath;
    int fromPage = 0;
    int toPage = 0;

    // What was shown, in order.
    QList<ShownMessage> messages;
    QList<ShownMessage> questions;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QStringList printRequests;

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

    // Forgets everything recorded (the answers stay).
    void clearRecords();
};
