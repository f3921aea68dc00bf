// UserDialogs for tests: answers every dialog from its settings and records what was
// asked.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "gui/user_dialogs.h"

class AnsweringDialogs final : public UserDialogs {
public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
    };
    QList<Message> messages;

    // Print dialog: the titles it was shown with; accept or cancel; with pdfPath set,
    // the chosen printer writes a PDF file there.
    QStringList printerTitles;
    bool acceptPrinter = true;
    QString pdfPath;

    // Save dialog: the answer (empty = cancel) and what it was shown with. The Open
    // dialog is always cancelled.
    QString saveAnswer;
    QStringList saveTitles;
    QStringList saveProposedNames;

    int message(QWidget* parent, const QString& text, const QString& title,
                MessageIcon icon) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                        const QString& filter,
                                        const QString& initialFolder) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& initialFolder,
                                        const QString& proposedName) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer, const QString& title) override;
};
