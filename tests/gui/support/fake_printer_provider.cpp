#include "fake_printer_provider.h"

#include <QDir>
#include <QPrinter>

namespace {

class RecordingTextPrinter final : public TextPrinter {
public:
    RecordingTextPrinter(FakePrinterProvider& owner, bool countOnly)
        : owner_(owner), countOnly_(countOnly)
    {
    }

    bool setFontName(const QString& family) override { return record("font " + family); }
    bool setFontSize(int points) override { return record(QStringLiteral("size %1").arg(points)); }
    bool setBold(bool on) override
    {
        return record(on ? QStringLiteral("bold on") : QStringLiteral("bold off"));
    }
    bool printLine(const QString& text) override
    {
        ++lines_;
        return record("|" + text);
    }
    bool endDocument() override { return record(QStringLiteral("end")); }
    void abortDocument() override
    {
        if (!countOnly_)
            owner_.operations << QStringLiteral("abort");
    }
    int pageCount() const override { return (lines_ + owner_.linesPerPage - 1) / owner_.linesPerPage; }

private:
    bool record(const QString& op) { return countOnly_ || owner_.record(op); }

    FakePrinterProvider& owner_;
    const bool countOnly_;
    int lines_ = 0;
};

}  // namespace

std::unique_ptr<QPrinter> FakePrinterProvider::makePrinter()
{
    // Nothing reaches a real printer even if something paints on it.
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QDir::temp().filePath(QStringLiteral("kestrava_fake_printer.pdf")));
    return printer;
}

std::unique_ptr<TextPrinter> FakePrinterProvider::textPrinter(QPrinter&, bool countOnly)
{
    return std::make_unique<RecordingTextPrinter>(*this, countOnly);
}

bool FakePrinterProvider::printPicture(QPrinter&, const QImage& picture)
{
    pictures << picture;
    return !failPicture;
}

QStringList FakePrinterProvider::printedLines() const
{
    QStringList lines;
    for (const QString& op : operations)
        if (op.startsWith(QLatin1Char('|')))
            lines << op.mid(1);
    return lines;
}

bool FakePrinterProvider::record(const QString& op)
{
    operations << op;
    return failOperation == 0 || operations.size() != failOperation;
}
