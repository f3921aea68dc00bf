#include "gui/printer_provider.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace {

bool printerFine(const QPrinter& printer)
{
    return printer.printerState() != QPrinter::Error
           && printer.printerState() != QPrinter::Aborted;
}

// Paints lines top-down on the printer's printable area; the painter starts with the
// first operation, so a printer that cannot start fails that operation.
class PainterTextPrinter final : public TextPrinter {
public:
    explicit PainterTextPrinter(QPrinter& printer) : printer_(printer)
    {
        // Where the named font is missing, the system's fixed-pitch font stands in.
        font_.setStyleHint(QFont::TypeWriter);
        font_.setFixedPitch(true);
    }

    ~PainterTextPrinter() override
    {
        if (painter_.isActive())
            painter_.end();
    }

    bool setFontName(const QString& family) override
    {
        font_.setFamily(family);
        return start();
    }

    bool setFontSize(int points) override
    {
        font_.setPointSize(points);
        return start();
    }

    bool setBold(bool on) override
    {
        font_.setBold(on);
        return start();
    }

    bool printLine(const QString& text) override
    {
        if (!start())
            return false;
        painter_.setFont(font_);
        const QFontMetricsF metrics(font_, &printer_);
        const qreal height = metrics.lineSpacing();
        if (top_ > 0 && top_ + height > printer_.height()) {
            if (!printer_.newPage())
                return false;
            top_ = 0;
        }
        painter_.drawText(QPointF(0, top_ + metrics.ascent()), text);
        top_ += height;
        return printerFine(printer_);
    }

    bool endDocument() override
    {
        if (!start())
            return false;
        return painter_.end() && printerFine(printer_);
    }

    void abortDocument() override
    {
        if (painter_.isActive()) {
            printer_.abort();
            painter_.end();
        }
    }

private:
    bool start()
    {
        if (painter_.isActive())
            return printerFine(printer_);
        if (started_)
            return false;  // ended or failed: the job is over
        started_ = true;
        return painter_.begin(&printer_) && printerFine(printer_);
    }

    QPrinter& printer_;
    QPainter painter_;
    QFont font_;
    qreal top_ = 0;
    bool started_ = false;
};

}  // namespace

std::unique_ptr<QPrinter> QtPrinterProvider::makePrinter()
{
    return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

std::unique_ptr<TextPrinter> QtPrinterProvider::textPrinter(QPrinter& printer)
{
    return std::make_unique<PainterTextPrinter>(printer);
}

bool QtPrinterProvider::printPicture(QPrinter& printer, const QImage& picture)
{
    if (picture.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(page.topLeft(), size), picture);
    return painter.end() && printerFine(printer);
}
