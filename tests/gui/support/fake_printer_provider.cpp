#include "fake_printer_provider.h"

#include <QDir>
#include <QPrinter>

namespace {

class RecordingTextPrinter final : public TextPrinter {
public:
    explicit RecordingTextPrinter(FakePrinterProvider& owner) : owner_(owner) {}

    bool setFontName(const QString& family) override { return owner_.record("font " + family); }
    bool setFontSize(int points) override
    {
        return owner_.record(QStringLiteral("size %1").arg(points));
    }
    bool setBold(bool on) override
    {
        return owner_.record(on ? QStringLiteral("bold on") : QStringLiteral("bold off"));
    }
    bool printLine(const QString& text) override { return owner_.record("|" + text); }
    bool endDocument() override { return owner_.record(QStringLiteral("end")); }
    void abortDocument() override { owner_.operations << QStringLiteral("abort"); }

private:
    FakePrinterProvider& owner_;
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

std::unique_ptr<TextPrinter> FakePrinterProvider::textPrinter(QPrinter&)
{
    return std::make_unique<RecordingTextPrinter>(*this);
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
