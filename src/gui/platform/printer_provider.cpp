#include "gui/platform/printer_provider.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <limits>
#include <optional>

#include "gui/view/code_page.h"

namespace {

bool printerFine(const QPrinter& printer)
{
    return printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

// Paints lines top-down on the printer's printable area; the painter starts with the
// first operation, so a printer that cannot start fails that operation. Lines on pages
// outside the chosen page range are laid out but not painted.
class PainterTextPrinter final : public TextPrinter {
public:
    PainterTextPrinter(QPrinter& printer, kestrava::Language language, bool countOnly)
        : printer_(printer), language_(language), countOnly_(countOnly)
    {
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
            firstPage_ = printer.fromPage();
            lastPage_ = std::max(printer.fromPage(), printer.toPage());
        }
        // Where the named font is missing, the system's fixed-pitch font stands in.
        font_.setStyleHint(QFont::TypeWriter);
        font_.setFixedPitch(true);
    }

    ~PainterTextPrinter() override
    {
        if (painter_.isActive())
            painter_.end();
    }

    bool setFontName(std::string_view family) override
    {
        font_.setFamily(QString::fromLatin1(family.data(), qsizetype(family.size())));
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

    bool printLine(std::string_view bytes) override
    {
        const QString text =
            fromCodePage(QByteArray(bytes.data(), qsizetype(bytes.size())), language_);
        if (!start())
            return false;
        if (!metrics_ || metricsFont_ != font_) {
            metrics_.emplace(font_, &printer_);
            metricsFont_ = font_;
        }
        const qreal height = metrics_->lineSpacing();
        if (page_ == 0) {
            page_ = 1;
        } else if (top_ + height > printer_.height()) {
            ++page_;
            top_ = 0;
            // A new sheet only between two pages that are both printed.
            if (!countOnly_ && inRange(page_) && inRange(page_ - 1) && !printer_.newPage())
                return false;
        }
        if (!countOnly_ && inRange(page_)) {
            painter_.setFont(font_);
            painter_.drawText(QPointF(0, top_ + metrics_->ascent()), text);
        }
        top_ += height;
        return countOnly_ || printerFine(printer_);
    }

    int pageCount() const override
    {
        if (page_ == 0 || page_ < firstPage_)
            return 0;
        return std::min(page_, lastPage_) - firstPage_ + 1;
    }

    bool endDocument() override
    {
        if (countOnly_)
            return true;
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
    bool inRange(int page) const { return page >= firstPage_ && page <= lastPage_; }

    bool start()
    {
        if (countOnly_)
            return true;
        if (painter_.isActive())
            return printerFine(printer_);
        if (started_)
            return false;  // ended or failed: the job is over
        started_ = true;
        return painter_.begin(&printer_) && printerFine(printer_);
    }

    QPrinter& printer_;
    const kestrava::Language language_;
    const bool countOnly_;
    QPainter painter_;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;  // of metricsFont_ on this printer
    QFont metricsFont_;
    qreal top_ = 0;
    int page_ = 0;  // the page the last line went on
    int firstPage_ = 1;
    int lastPage_ = std::numeric_limits<int>::max();
    bool started_ = false;
};

}  // namespace

std::unique_ptr<QPrinter> QtPrinterProvider::makePrinter()
{
    return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

std::unique_ptr<TextPrinter>
QtPrinterProvider::textPrinter(QPrinter& printer, kestrava::Language language, bool countOnly)
{
    return std::make_unique<PainterTextPrinter>(printer, language, countOnly);
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
