#include "support/scripted_dialogs.h"

#include <QPrinter>

namespace {

std::optional<QString> takeAnswer(std::deque<QString>& answers, const QString& otherwise)
{
    if (answers.empty())
        return otherwise.isEmpty() ? std::nullopt : std::optional<QString>(otherwise);
    const QString path = answers.front();
    answers.pop_front();
    return path;
}

}  // namespace

int ScriptedDialogs::message(QWidget*, const QString& text, const QString& title,
                             MessageIcon icon)
{
    messages.append({text, title, icon});
    return 1;
}

bool ScriptedDialogs::ask(QWidget*, const QString& text, const QString& title)
{
    questions.append({text, title, MessageIcon::None});
    return askAnswer;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder)
{
    openRequests.append({title, filter, initialFolder, {}});
    return takeAnswer(openAnswers, {});
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder,
                                                     const QString& proposedName,
                                                     int* chosenType)
{
    saveRequests.append({title, filter, initialFolder, proposedName});
    if (chosenType)
        *chosenType = saveTypeAnswer;
    return takeAnswer(saveAnswers, saveAnswer);
}

bool ScriptedDialogs::choosePrinter(QWidget*, QPrinter* printer, const QString& title)
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

void ScriptedDialogs::clearRecords()
{
    messages.clear();
    questions.clear();
    openRequests.clear();
    saveRequests.clear();
    printRequests.clear();
}
