// A scripted UserDialogs for the save and default-folder tests: records every call and
// answers the file choosers from a queue (an empty queue answers "cancel").
#pragma once

#include <QList>
#include <QStringList>
#include <QString>
#include <optional>

#include "gui/user_dialogs.h"

class SaveTestDialogs final : public UserDialogs {
public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
    };
    struct SaveRequest {
        QString title;
        QString filter;
        QString initialFolder;
        QString proposedName;
    };

    QStringList fileAnswers;  // answered in turn; a null QString() is a cancel
    QList<Message> messages;
    QList<SaveRequest> saveRequests;
    int openRequests = 0;

    int message(QWidget* parent, const QString& text, const QString& title,
                MessageIcon icon) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                        const QString& filter,
                                        const QString& initialFolder) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& initialFolder,
                                        const QString& proposedName) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer, const QString& title) override;

private:
    std::optional<QString> nextAnswer();
};
