// A small bar chart of our own: one bar per category, value axis with ticks, a title
// and a caption line, each bar's value written at its end. The layout is worked out
// once from the data and a size; one paint routine draws it onto any QPainter (the
// window, a QImage for PNG) and a few lines write the same layout as SVG.
#pragma once

#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QStringList>
#include <QWidget>
#include <optional>

class QPainter;

struct BarChartData {
    QString title;
    QString caption;  // one line under the title; none when empty
    QStringList categories;
    QList<double> values;  // one per category, not negative
    QStringList valueTexts;  // written at each bar's end; none when empty
    // Vertical: bars rise from the bottom axis; Horizontal: they grow right from the
    // category labels, the first category at the top.
    Qt::Orientation bars = Qt::Vertical;
    // Counts: a tick per unit up to ten, never a fraction. Otherwise the axis reaches
    // at least 1 and may have fractional steps.
    bool wholeNumbers = true;
};

struct BarChartText {
    enum Kind { Title, Caption, Category, Tick, Value };
    Kind kind;
    QString text;
    QRectF box;  // one line of the text's font high; the text is aligned inside it
    Qt::Alignment align;
    int pixelSize = 0;  // a value too wide for its bar is written smaller; 0: as its kind
};

struct BarChartLayout {
    QSize size;
    QFont font;  // every font is in pixels, so that any device draws the same
    QFont titleFont;
    QRectF plot;  // the area the bars stand in
    QList<double> ticks;
    QList<QLineF> grid;
    QList<QLineF> axes;
    QList<QRectF> bars;
    QList<BarChartText> texts;

    QFont fontOf(const BarChartText& text) const;
};

// The value axis: from 0 to at least highest.
QList<double> barChartTicks(double highest, bool wholeNumbers);
BarChartLayout layoutBarChart(const BarChartData& data, QSize size, const QFont& font);
void paintBarChart(QPainter& painter, const BarChartLayout& layout);
QImage barChartImage(const BarChartLayout& layout);
QByteArray barChartSvg(const BarChartLayout& layout);

class BarChartView : public QWidget {
    Q_OBJECT

public:
    explicit BarChartView(QWidget* parent = nullptr);

    void setData(BarChartData data);
    const BarChartData& data() const { return data_; }
    // The layout for the widget's present size and font.
    const BarChartLayout& chartLayout() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    BarChartData data_;
    mutable std::optional<BarChartLayout> layout_;
};
