// A UserDialogs for tests: answers come from what the test sets beforehand, and every
// dialog and message shown is recorded.
#pragma once

#include <QList>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "gui/services/user_dialogs.h"

struct ShownMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

struct FileDialogRequest {
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
    std::deque<QString> folderAnswers;  // none queued: the folder chooser is cancelled
    std::deque<QStringList> openManyAnswers;  // none queued: the many-file chooser is cancelled
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

    int message(QWidget*, const QString& text, const QString& title, MessageIcon icon) override
    {
        messages.append({text, title, icon});
        return 1;
    }
    bool ask(QWidget*, const QString& text, const QString& title) override
    {
        questions.append({text, title, MessageIcon::None});
        return askAnswer;
    }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString& filter,
                                        const QString& initialFolder) override
    {
        openRequests.append({filter, initialFolder, {}});
        return take(openAnswers, {});
    }
    std::optional<QStringList> openFileNames(QWidget*, const QString&, const QString& filter,
                                             const QString& initialFolder) override
    {
        openRequests.append({filter, initialFolder, {}});
        return take(openManyAnswers, {});
    }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString& filter,
                                        const QString& initialFolder, const QString& proposedName,
                                        int* chosenType) override
    {
        saveRequests.append({filter, initialFolder, proposedName});
        if (chosenType)
            *chosenType = saveTypeAnswer;
        return take(saveAnswers, saveAnswer);
    }
    std::optional<QString> folderName(QWidget*, const QString&,
                                      const QString& initialFolder) override
    {
        openRequests.append({{}, initialFolder, {}});
        return take(folderAnswers, {});
    }
    bool choosePrinter(QWidget*, QPrinter* printer, const QString& title) override
    {
        printRequests.append(title);
        if (acceptPrinter && !pdfPath.isEmpty()) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdfPath);
        }
        if (acceptPrinter && fromPage > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(fromPage, toPage);
        }
        return acceptPrinter;
    }

private:
    template <typename T>
    static std::optional<T> take(std::deque<T>& answers, const T& otherwise)
    {
        if (answers.empty())
            return otherwise.isEmpty() ? std::nullopt : std::optional<T>(otherwise);
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
