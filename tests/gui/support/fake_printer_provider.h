// A printer provider for tests: records what the text printer is asked to print and the
// pictures printed, and can make its n-th text-printer operation fail.
#pragma once

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QStringList>
#include <functional>
#include <memory>

#include "gui/platform/printer_provider.h"
#include "gui/view/code_page.h"

class FakePrinterProvider final : public PrinterProvider {
public:
    // Every text-printer operation in order (a counting printer records none): "font NAME",
    // "size N", "bold on|off", "|TEXT" for a printed line, "end", "abort".
    QStringList operations;
    int failOperation = 0;  // 1-based operation that fails; 0 = none
    std::function<void()> beforeFailing;  // called (on the printing thread) as it fails
    bool failPicture = false;
    QList<QImage> pictures;  // printed by printPicture
    int linesPerPage = 60;  // the page length the text printer counts with

    std::unique_ptr<QPrinter> makePrinter() override
    {
        // Nothing reaches a real printer even if something paints on it.
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(
            QDir::temp().filePath(QStringLiteral("kestrava_fake_printer.pdf")));
        return printer;
    }
    std::unique_ptr<TextPrinter> textPrinter(QPrinter&, kestrava::Language language,
                                             bool countOnly) override
    {
        return std::make_unique<Recording>(*this, language, countOnly);
    }
    bool printPicture(QPrinter&, const QImage& picture) override
    {
        pictures << picture;
        return !failPicture;
    }

    // The printed lines only (the "|" entries without the marker).
    QStringList printedLines() const
    {
        QStringList lines;
        for (const QString& op : operations)
            if (op.startsWith(QLatin1Char('|')))
                lines << op.mid(1);
        return lines;
    }

private:
    class Recording final : public TextPrinter {
    public:
        Recording(FakePrinterProvider& owner, kestrava::Language language, bool countOnly)
            : owner_(owner), language_(language), countOnly_(countOnly)
        { }
        bool setFontName(std::string_view family) override
        {
            return record("font " + QString::fromLatin1(family.data(), qsizetype(family.size())));
        }
        bool setFontSize(int points) override
        {
            return record(QStringLiteral("size %1").arg(points));
        }
        bool setBold(bool on) override
        {
            return record(on ? QStringLiteral("bold on") : QStringLiteral("bold off"));
        }
        bool printLine(std::string_view text) override
        {
            ++lines_;
            return record("|" +
                          fromCodePage(QByteArray(text.data(), qsizetype(text.size())), language_));
        }
        bool endDocument() override { return record(QStringLiteral("end")); }
        void abortDocument() override { countOnly_ || record(QStringLiteral("abort")); }
        int pageCount() const override
        {
            return (lines_ + owner_.linesPerPage - 1) / owner_.linesPerPage;
        }

    private:
        bool record(const QString& op)
        {
            if (countOnly_)
                return true;
            owner_.operations << op;
            if (owner_.failOperation == 0 || owner_.operations.size() != owner_.failOperation)
                return true;
            if (owner_.beforeFailing)
                owner_.beforeFailing();
            return false;
        }
        FakePrinterProvider& owner_;
        const kestrava::Language language_;
        const bool countOnly_;
        int lines_ = 0;
    };
};
