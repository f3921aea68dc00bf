#include "support/scripted_dialogs.h"

namespace {

// The front answer of a queue; an empty queue cancels.
std::optional<QString> takeAnswer(std::deque<std::optional<QString>>& answers)
{
    if (answers.empty())
        return std::nullopt;
    const bool chosen = answers.front().has_value();
    const QString path = chosen ? *answers.front() : QString();
    answers.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}

}  // namespace

int ScriptedDialogs::message(QWidget*, const QString& text, const QString& title,
                             MessageIcon icon)
{
    messages.append({text, title, icon});
    return messageAnswer;
}

bool ScriptedDialogs::ask(QWidget*, const QString& text, const QString& title)
{
    questions.append({text, title, MessageIcon::None});
    if (askAnswers.empty())
        return false;
    const bool answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder)
{
    openRequests.append({title, filter, initialFolder, {}});
    return takeAnswer(openAnswers);
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
    return takeAnswer(saveAnswers);
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
    questions.clear();
    openRequests.clear();
    saveRequests.clear();
    printRequests.clear();
}
