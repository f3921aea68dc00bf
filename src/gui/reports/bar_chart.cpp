#include "gui/reports/bar_chart.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMargin = 8;  // around the whole picture
constexpr double kGap = 4;  // between an axis and its labels
constexpr double kBarShare = 0.6;  // of a category's slot
constexpr int kSmallestValuePixels = 8;

const QColor kBackground(Qt::white);
const QColor kBarColour(0x20, 0x9f, 0xdf);
const QColor kGridColour(0xe0, 0xe0, 0xe0);
const QColor kAxisColour(0x80, 0x80, 0x80);
const QColor kTextColour(0x40, 0x40, 0x40);

QFont inPixels(QFont font)
{
    if (font.pixelSize() <= 0)
        font.setPixelSize(
            std::max(1, int(std::lround(QFontInfo(font).pointSizeF() * 96.0 / 72.0))));
    return font;
}

QString tickText(double value, double step, bool wholeNumbers)
{
    const int decimals = wholeNumbers || step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(value, 'f', decimals);
}

double widest(const QFontMetricsF& metrics, const QStringList& texts)
{
    double width = 0;
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    return std::ceil(width);
}

}  // namespace

QFont BarChartLayout::fontOf(const BarChartText& text) const
{
    QFont chosen = text.kind == BarChartText::Title ? titleFont : font;
    if (text.pixelSize > 0)
        chosen.setPixelSize(text.pixelSize);
    return chosen;
}

QList<double> barChartTicks(double highest, bool wholeNumbers)
{
    QList<double> ticks;
    if (wholeNumbers && highest <= 10) {
        const int top = std::max(1, int(std::ceil(highest)));
        for (int i = 0; i <= top; ++i)
            ticks << i;
        return ticks;
    }
    // The smallest step of 1, 2 or 5 times a power of ten that reaches the highest
    // value in at most seven steps.
    const double reach = std::max(highest, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(reach / 7)));
    double step = power * 10;
    for (const double times : {1.0, 2.0, 5.0}) {
        if (std::ceil(reach / (power * times) - 1e-9) <= 7) {
            step = power * times;
            break;
        }
    }
    const int steps = int(std::ceil(reach / step - 1e-9));
    for (int i = 0; i <= steps; ++i)
        ticks << i * step;
    return ticks;
}

BarChartLayout layoutBarChart(const BarChartData& data, QSize size, const QFont& font)
{
    BarChartLayout layout;
    layout.size = size;
    layout.font = inPixels(font);
    layout.titleFont = layout.font;
    layout.titleFont.setPixelSize(std::lround(layout.font.pixelSize() * 1.15));

    const QFontMetricsF metrics(layout.font);
    const double line = std::ceil(metrics.height());
    const double width = size.width();
    const double height = size.height();
    const auto add = [&](BarChartText::Kind kind, const QString& text, QRectF box,
                         Qt::Alignment align, int pixelSize = 0) {
        // A text wider than its box is shortened rather than drawn past the picture.
        BarChartText added{kind, text, box, align, pixelSize};
        const QFontMetricsF fits(layout.fontOf(added));
        if (fits.horizontalAdvance(text) > box.width())
            added.text = fits.elidedText(text, Qt::ElideRight, box.width());
        layout.texts.append(added);
    };

    double top = kMargin;
    if (!data.title.isEmpty()) {
        const double titleLine = std::ceil(QFontMetricsF(layout.titleFont).height());
        add(BarChartText::Title, data.title, QRectF(kMargin, top, width - 2 * kMargin, titleLine),
            Qt::AlignCenter);
        top += titleLine + 2;
    }
    if (!data.caption.isEmpty()) {
        add(BarChartText::Caption, data.caption, QRectF(kMargin, top, width - 2 * kMargin, line),
            Qt::AlignCenter);
        top += line;
    }
    const qsizetype count = std::min(data.categories.size(), data.values.size());
    if (count == 0)
        return layout;  // the titles only

    double highest = 0;
    for (qsizetype i = 0; i < count; ++i)
        highest = std::max(highest, data.values[i]);
    layout.ticks = barChartTicks(highest, data.wholeNumbers);
    const double step = layout.ticks.size() > 1 ? layout.ticks[1] : 1;
    const double axisTop = layout.ticks.last();
    QStringList tickTexts;
    for (const double tick : layout.ticks)
        tickTexts << tickText(tick, step, data.wholeNumbers);
    const QStringList values = data.valueTexts.mid(0, count);
    const bool vertical = data.bars == Qt::Vertical;

    if (vertical) {
        const double tickWidth = widest(metrics, tickTexts);
        QRectF plot;
        plot.setLeft(kMargin + tickWidth + kGap);
        plot.setRight(width - kMargin);
        // Room above a full bar for its value, and for half of the top tick's label.
        plot.setTop(top + kGap + std::max(values.isEmpty() ? 0.0 : line + 2, line / 2));
        plot.setBottom(height - kMargin - line - kGap);
        layout.plot = plot;
        const double slot = plot.width() / double(count);

        for (qsizetype i = 0; i < layout.ticks.size(); ++i) {
            const double y = std::round(plot.bottom() - layout.ticks[i] / axisTop * plot.height());
            layout.grid << QLineF(plot.left(), y, plot.right(), y);
            add(BarChartText::Tick, tickTexts[i], QRectF(kMargin, y - line / 2, tickWidth, line),
                Qt::AlignRight | Qt::AlignVCenter);
        }
        for (qsizetype i = 1; i <= count; ++i) {  // between the categories
            const double x = std::round(plot.left() + slot * double(i));
            layout.grid << QLineF(x, plot.top(), x, plot.bottom());
        }
        for (qsizetype i = 0; i < count; ++i) {
            const double left = plot.left() + slot * double(i);
            const double centre = left + slot / 2;
            const double barWidth = std::max(1.0, std::round(slot * kBarShare));
            const double barTop =
                std::round(plot.bottom() - data.values[i] / axisTop * plot.height());
            layout.bars << QRectF(std::round(centre - barWidth / 2), barTop, barWidth,
                                  plot.bottom() - barTop);
            add(BarChartText::Category, data.categories[i],
                QRectF(left, plot.bottom() + kGap, slot, line),
                Qt::AlignHCenter | Qt::AlignVCenter);
            if (i < values.size()) {
                // A value too wide for its slot is written smaller, down to a size
                // still legible; past that it may reach over its neighbours' slots.
                int pixels = layout.font.pixelSize();
                const double natural = metrics.horizontalAdvance(values[i]) + 2;
                if (natural > slot)
                    pixels = std::max(kSmallestValuePixels, int(pixels * slot / natural));
                QFont valueFont = layout.font;
                valueFont.setPixelSize(pixels);
                const QFontMetricsF valueMetrics(valueFont);
                const double valueLine = std::ceil(valueMetrics.height());
                const double textWidth =
                    std::min(width, std::ceil(valueMetrics.horizontalAdvance(values[i])) + 2);
                const double x = std::clamp(centre - textWidth / 2, 0.0, width - textWidth);
                add(BarChartText::Value, values[i],
                    QRectF(x, barTop - valueLine - 1, textWidth, valueLine), Qt::AlignCenter,
                    pixels == layout.font.pixelSize() ? 0 : pixels);
            }
        }
    } else {
        const double categoryWidth =
            std::min(widest(metrics, data.categories.mid(0, count)), std::floor(width * 0.45));
        const double valueWidth = values.isEmpty() ? 0 : widest(metrics, values) + kGap;
        const double lastTickHalf = std::ceil(metrics.horizontalAdvance(tickTexts.last()) / 2);
        QRectF plot;
        plot.setLeft(kMargin + categoryWidth + kGap);
        plot.setRight(width - kMargin - std::max(valueWidth, lastTickHalf));
        plot.setTop(top + kGap);
        plot.setBottom(height - kMargin - line - kGap);
        layout.plot = plot;
        const double slot = plot.height() / double(count);
        const double valueLine = line;

        for (qsizetype i = 0; i < layout.ticks.size(); ++i) {
            const double x = std::round(plot.left() + layout.ticks[i] / axisTop * plot.width());
            layout.grid << QLineF(x, plot.top(), x, plot.bottom());
            const double textWidth = std::ceil(metrics.horizontalAdvance(tickTexts[i])) + 2;
            add(BarChartText::Tick, tickTexts[i],
                QRectF(x - textWidth / 2, plot.bottom() + kGap, textWidth, line), Qt::AlignCenter);
        }
        for (qsizetype i = 0; i < count; ++i) {  // between the categories
            const double y = std::round(plot.top() + slot * double(i));
            layout.grid << QLineF(plot.left(), y, plot.right(), y);
        }
        for (qsizetype i = 0; i < count; ++i) {
            const double centre = plot.top() + slot * (double(i) + 0.5);
            const double thickness = std::max(1.0, std::round(slot * kBarShare));
            const double barRight =
                std::round(plot.left() + data.values[i] / axisTop * plot.width());
            layout.bars << QRectF(plot.left(), std::round(centre - thickness / 2),
                                  barRight - plot.left(), thickness);
            add(BarChartText::Category, data.categories[i],
                QRectF(kMargin, centre - line / 2, categoryWidth, line),
                Qt::AlignRight | Qt::AlignVCenter);
            if (i < values.size())
                add(BarChartText::Value, values[i],
                    QRectF(barRight + kGap, centre - valueLine / 2, valueWidth - kGap, valueLine),
                    Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    layout.axes << QLineF(layout.plot.bottomLeft(), layout.plot.topLeft())
                << QLineF(layout.plot.bottomLeft(), layout.plot.bottomRight());
    return layout;
}

void paintBarChart(QPainter& painter, const BarChartLayout& layout)
{
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), layout.size), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kGridColour, 1));
    painter.drawLines(layout.grid);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBarColour);
    for (const QRectF& bar : layout.bars)
        painter.drawRect(bar);
    painter.setPen(QPen(kAxisColour, 1));
    painter.drawLines(layout.axes);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const BarChartText& text : layout.texts) {
        painter.setFont(layout.fontOf(text));
        painter.setPen(kTextColour);
        painter.drawText(text.box, int(text.align) | Qt::TextSingleLine, text.text);
    }
    painter.restore();
}

QImage barChartImage(const BarChartLayout& layout)
{
    QImage image(layout.size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    paintBarChart(painter, layout);
    return image;
}

namespace {

// Text for XML: the five special characters escaped, characters XML does not allow
// (control characters from a file's bytes) left out.
QString xmlText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default:
            if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
                if (c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                    out += c;
        }
    }
    return out;
}

QString number(double value)
{
    return QString::number(value, 'f', 1);
}

QString colour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

}  // namespace

QByteArray barChartSvg(const BarChartLayout& layout)
{
    const QString w = QString::number(layout.size.width());
    const QString h = QString::number(layout.size.height());
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 %1 %2\">\n")
                      .arg(w, h);
    for (const BarChartText& text : layout.texts) {
        if (text.kind == BarChartText::Title) {
            svg += QStringLiteral("<title>%1</title>\n").arg(xmlText(text.text));
            break;
        }
    }
    svg += QStringLiteral("<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"%3\"/>\n")
               .arg(w, h, colour(kBackground));
    const auto lines = [&](const QList<QLineF>& list, const QColor& stroke) {
        for (const QLineF& l : list)
            svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                                  "stroke-width=\"1\"/>\n")
                       .arg(number(l.x1() + 0.5), number(l.y1() + 0.5), number(l.x2() + 0.5),
                            number(l.y2() + 0.5), colour(stroke));
    };
    lines(layout.grid, kGridColour);
    for (const QRectF& bar : layout.bars)
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(number(bar.x()), number(bar.y()), number(bar.width()), number(bar.height()),
                        colour(kBarColour));
    lines(layout.axes, kAxisColour);
    for (const BarChartText& text : layout.texts) {
        const QFont font = layout.fontOf(text);
        const QFontMetricsF metrics(font);
        QString anchor = QStringLiteral("middle");
        double x = text.box.center().x();
        if (text.align & Qt::AlignLeft) {
            anchor = QStringLiteral("start");
            x = text.box.left();
        } else if (text.align & Qt::AlignRight) {
            anchor = QStringLiteral("end");
            x = text.box.right();
        }
        const double baseline =
            text.box.center().y() - (metrics.ascent() + metrics.descent()) / 2 + metrics.ascent();
        svg += QStringLiteral(
                   "<text xml:space=\"preserve\" x=\"%1\" y=\"%2\" font-family=\"%3, sans-serif\" "
                   "font-size=\"%4\" font-weight=\"%5\" text-anchor=\"%6\" "
                   "fill=\"%7\">%8</text>\n")
                   .arg(number(x), number(baseline), xmlText(QFontInfo(font).family()),
                        QString::number(font.pixelSize()),
                        font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"), anchor,
                        colour(kTextColour), xmlText(text.text));
    }
    svg += QLatin1String("</svg>\n");
    return svg.toUtf8();
}

BarChartView::BarChartView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarChartView::setData(BarChartData data)
{
    data_ = std::move(data);
    layout_.reset();
    update();
}

const BarChartLayout& BarChartView::chartLayout() const
{
    if (!layout_ || layout_->size != size())
        layout_ = layoutBarChart(data_, size(), font());
    return *layout_;
}

void BarChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintBarChart(painter, chartLayout());
}

void BarChartView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        layout_.reset();
    QWidget::changeEvent(event);
}
