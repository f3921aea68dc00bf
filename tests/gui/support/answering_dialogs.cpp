#include "answering_dialogs.h"

#include <QPrinter>

int AnsweringDialogs::message(QWidget*, const QString& text, const QString& title,
                              MessageIcon icon)
{
    messages << Message{text, title, icon};
    return 1;
}

std::optional<QString> AnsweringDialogs::openFileName(QWidget*, const QString&, const QString&,
                                                      const QString&)
{
    return std::nullopt;
}

std::optional<QString> AnsweringDialogs::saveFileName(QWidget*, const QString& title,
                                                      const QString&, const QString&,
                                                      const QString& proposedName)
{
    saveTitles << title;
    saveProposedNames << proposedName;
    if (saveAnswer.isEmpty())
        return std::nullopt;
    return saveAnswer;
}

bool AnsweringDialogs::choosePrinter(QWidget*, QPrinter* printer, const QString& title)
{
    printerTitles << title;
    if (acceptPrinter && !pdfPath.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPath);
    }
    return acceptPrinter;
}
