#include "support/save_test_dialogs.h"

int SaveTestDialogs::message(QWidget*, const QString& text, const QString& title,
                             MessageIcon icon)
{
    messages.append({text, title, icon});
    return 1;
}

std::optional<QString> SaveTestDialogs::nextAnswer()
{
    if (fileAnswers.isEmpty())
        return std::nullopt;
    const QString answer = fileAnswers.takeFirst();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

std::optional<QString> SaveTestDialogs::openFileName(QWidget*, const QString&, const QString&,
                                                     const QString&)
{
    ++openRequests;
    return nextAnswer();
}

std::optional<QString> SaveTestDialogs::saveFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder,
                                                     const QString& proposedName)
{
    saveRequests.append({title, filter, initialFolder, proposedName});
    return nextAnswer();
}

bool SaveTestDialogs::choosePrinter(QWidget*, QPrinter*, const QString&)
{
    return false;
}
