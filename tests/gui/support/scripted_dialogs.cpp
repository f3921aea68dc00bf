#include "support/scripted_dialogs.h"

int ScriptedDialogs::message(QWidget*, const QString& text, const QString& title,
                             MessageIcon icon)
{
    messages.append({text, title, icon});
    return messageAnswer;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder)
{
    openRequests.append({title, filter, initialFolder, {}});
    if (openAnswers.empty())
        return std::nullopt;
    std::optional<QString> answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder,
                                                     const QString& proposedName)
{
    saveRequests.append({title, filter, initialFolder, proposedName});
    if (saveAnswers.empty())
        return std::nullopt;
    std::optional<QString> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::choosePrinter(QWidget*, QPrinter*, const QString& title)
{
    printRequests.append(title);
    if (printAnswers.empty())
        return false;
    const bool answer = printAnswers.front();
    printAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::clearRecords()
{
    messages.clear();
    openRequests.clear();
    saveRequests.clear();
    printRequests.clear();
}
