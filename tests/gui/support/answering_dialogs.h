// UserDialogs for tests: answers every dialog from its settings and records what was
// asked.
#pragma once

#include <QList>
#include <QPrinter>
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
    int fromPage = 0;  // a page range chosen in the dialog when not 0
    int toPage = 0;

    // Save dialog: the answer (empty = cancel) and what it was shown with. The Open
    // dialog is always cancelled.
    QString saveAnswer;
    QStringList saveTitles;
    QStringList saveProposedNames;

    // Yes/No questions: the texts asked and the answer given to all of them.
    QStringList questions;
    bool askAnswer = false;

    int message(QWidget*, const QString& text, const QString& title, MessageIcon icon) override
    {
        messages << Message{text, title, icon};
        return 1;
    }
    bool ask(QWidget*, const QString& text, const QString&) override
    {
        questions << text;
        return askAnswer;
    }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const QString& title, const QString&, const QString&,
                                        const QString& proposedName, int* = nullptr) override
    {
        saveTitles << title;
        saveProposedNames << proposedName;
        return saveAnswer.isEmpty() ? std::nullopt : std::optional<QString>(saveAnswer);
    }
    bool choosePrinter(QWidget*, QPrinter* printer, const QString& title) override
    {
        printerTitles << title;
        if (acceptPrinter && !pdfPath.isEmpty()) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdfPath);
        }
        if (fromPage > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(fromPage, toPage);
        }
        return acceptPrinter;
    }
};
