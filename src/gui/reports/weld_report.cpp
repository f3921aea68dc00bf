#include "gui/reports/weld_report.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/fleet/fleet_table.h"
#include "core/protocol/protocol_text.h"
#include "gui/reports/bar_chart.h"
#include "gui/reports/error_description.h"
#include "gui/view/code_page.h"

using kestrava::FileResult;
using kestrava::Progress;
using kestrava::WeldProtocol;
using kestrava::WeldRecord;

namespace {

constexpr int kLongestValueLines = 12;  // a longer field value is cut, its end elided
constexpr int kLongestHeadLines = 3;  // lines of a column name in the table's head
constexpr double kChartWidth = 900;  // the chart is laid out at this size, then scaled
constexpr double kChartHeight = 400;

// The field bytes as text: the code page is one byte a character, so a table made once
// converts them (a converter opened for every field cost most of a report's time).
class ByteText {
public:
    explicit ByteText(kestrava::Language language)
    {
        QByteArray all(256, '\0');
        for (int c = 0; c < 256; ++c)
            all[c] = char(c);
        const QString text = fromCodePage(all, language);
        for (int c = 0; c < 256; ++c)
            table_[std::size_t(c)] = text.size() == 256 ? text[c] : QChar(c);
    }
    QString operator()(std::string_view bytes) const
    {
        QString text(qsizetype(bytes.size()), Qt::Uninitialized);
        QChar* out = text.data();
        for (const char c : bytes)
            *out++ = table_[std::size_t(static_cast<unsigned char>(c))];
        return text;
    }

private:
    std::array<QChar, 256> table_{};
};

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString dayText(const std::optional<kestrava::Day>& day)
{
    return QString::fromStdString(kestrava::fleetDayText(day));
}

// A pass's reading progress as a share of the whole job: pass `index` of `count`.
Progress share(const Progress& progress, int index, int count)
{
    if (!progress)
        return {};
    return [progress, index, count](std::uint64_t done, std::uint64_t total) {
        if (total == 0)
            return progress(0, 0);
        return progress(total * std::uint64_t(index) + done, total * std::uint64_t(count));
    };
}

QFont font(double points, bool bold = false)
{
    QFont chosen(QStringLiteral("Arial"));
    chosen.setStyleHint(QFont::SansSerif);
    chosen.setPointSizeF(points);
    chosen.setBold(bold);
    return chosen;
}

}  // namespace

// One layout of the report: counting (no painter) or painting the pages in range.
class WeldReport::Pass {
    // A font and its metrics on the device.
    struct Face : QFontMetricsF {
        Face(const QFont& chosen, QPaintDevice& device)
            : QFontMetricsF(chosen, &device), font(chosen)
        { }
        QFont font;
    };

public:
    Pass(const WeldReportSetup& setup, QPaintDevice& device, QPainter* painter, int total, int from,
         int to)
        : setup_(setup), device_(device), painter_(painter), total_(total), from_(from),
          to_(to > 0 ? to : std::numeric_limits<int>::max()), body_(font(9), device),
          bold_(font(9, true), device), small_(font(8), device), heading_(font(11, true), device),
          title_(font(16, true), device), text_(setup.language)
    {
        width_ = device.width();
        height_ = device.height();
        top_ = mm(18);
        line_ = body_.lineSpacing() * 1.2;
    }

    int pages() const { return page_; }
    bool failed() const { return failed_; }

    void cover(const kestrava::ReportCover& cover);
    void protocol(const WeldRecord& weld);
    void tableRow(const WeldRecord& weld, const kestrava::ReportCover& cover);
    void endTable()
    {
        tableOn_ = false;
        breakPage_ = true;
    }

private:
    double mm(double millimetres) const { return millimetres * device_.logicalDpiY() / 25.4; }
    bool shown() const { return painter_ && page_ >= from_ && page_ <= to_; }
    void startPage();
    // Starts a page unless height fits under y on this one.
    void ensure(double height)
    {
        if (page_ == 0 || breakPage_ || y_ + height > height_)
            startPage();
    }
    void header();
    void text(const Face& face, double x, double top, const QString& words);
    void rule(double top, double thickness, const QColor& colour);
    QStringList wrapped(const QString& value, const QFontMetricsF& metrics, double width) const;
    void takeHeader(std::string_view header);
    void tableHead();

    const WeldReportSetup& setup_;
    QPaintDevice& device_;
    QPainter* painter_;
    int total_;
    int from_;
    int to_;
    Face body_, bold_, small_, heading_, title_;
    const Face* current_ = nullptr;  // the painter's font
    ByteText text_;
    double width_ = 0;
    double height_ = 0;
    double top_ = 0;  // where a page's content starts
    double line_ = 0;  // a row of body text
    double y_ = 0;
    int page_ = 0;
    bool painted_ = false;
    bool failed_ = false;
    bool breakPage_ = false;

    // The column names of the header last taken, and the width of the names' column.
    std::string header_;
    QStringList names_;
    double nameWidth_ = 0;
    WeldProtocol weld_;

    // The table.
    bool tableOn_ = false;
    QFont tableFont_;
    std::optional<QFontMetricsF> table_;
    QList<double> columns_;  // left edge of each column, then the right edge of the last
    double headHeight_ = 0;
};

void WeldReport::Pass::startPage()
{
    ++page_;
    breakPage_ = false;
    y_ = top_;
    if (shown()) {
        if (painted_ && !static_cast<QPagedPaintDevice&>(device_).newPage())
            failed_ = true;
        painted_ = true;
        header();
    }
    if (tableOn_)
        tableHead();
}

void WeldReport::Pass::text(const Face& face, double x, double top, const QString& words)
{
    if (!shown())
        return;
    if (current_ != &face) {
        painter_->setFont(face.font);
        current_ = &face;
    }
    painter_->drawText(QPointF(x, top + face.ascent()), words);
}

void WeldReport::Pass::rule(double top, double thickness, const QColor& colour)
{
    if (!shown())
        return;
    painter_->setPen(QPen(colour, thickness));
    painter_->drawLine(QPointF(0, top), QPointF(width_, top));
    painter_->setPen(Qt::black);
}

void WeldReport::Pass::header()
{
    double x = 0;
    if (!setup_.logo.isNull()) {
        const double high = mm(11);
        const double wide = std::min(mm(40), high * setup_.logo.width() / setup_.logo.height());
        painter_->drawImage(QRectF(0, 0, wide, high), setup_.logo);
        x = wide + mm(4);
    }
    const QString title = setup_.kind == WeldReportSetup::Kind::Protocols
                              ? WeldReport::tr("Weld Protocol")
                              : WeldReport::tr("Handover Report");
    text(heading_, x, 0, setup_.brandName);
    text(heading_, width_ - heading_.horizontalAdvance(title), 0, title);
    const QString printed =
        WeldReport::tr("Printed %1")
            .arg(QLocale::c().toString(setup_.printed, QStringLiteral("dd/MM/yyyy")));
    const QString pageText = WeldReport::tr("Page %1 of %2").arg(page_).arg(total_);
    text(small_, x, mm(7), printed);
    text(small_, width_ - small_.horizontalAdvance(pageText), mm(7), pageText);
    rule(mm(13), mm(0.3), Qt::black);
}

QStringList WeldReport::Pass::wrapped(const QString& value, const QFontMetricsF& metrics,
                                      double width) const
{
    if (value.size() * metrics.maxWidth() <= width || metrics.horizontalAdvance(value) <= width)
        return {value};
    QStringList lines;
    qsizetype from = 0;
    while (from < value.size()) {
        if (lines.size() == kLongestValueLines - 1) {
            lines << metrics.elidedText(value.mid(from), Qt::ElideRight, width);
            break;
        }
        // The longest piece that fits, ended at a space where there is one.
        qsizetype low = 1;
        qsizetype high = value.size() - from;
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (metrics.horizontalAdvance(value.mid(from, middle)) <= width)
                low = middle;
            else
                high = middle - 1;
        }
        qsizetype take = low;
        if (from + take < value.size()) {
            const qsizetype space = value.lastIndexOf(QLatin1Char(' '), from + take - 1);
            if (space > from)
                take = space - from + 1;
        }
        lines << value.mid(from, take).trimmed();
        from += take;
    }
    return lines;
}

void WeldReport::Pass::takeHeader(std::string_view header)
{
    if (!names_.isEmpty() && header == header_)
        return;
    header_.assign(header);
    names_.clear();
    nameWidth_ = 0;
    for (const QString& label : {WeldReport::tr("Download"), WeldReport::tr("Machine"),
                                 WeldReport::tr("Date and time"), WeldReport::tr("Error")})
        nameWidth_ = std::max(nameWidth_, bold_.horizontalAdvance(label));
    std::size_t from = 0;
    for (;;) {
        const std::size_t tab = header.find('\t', from);
        names_ << text_(header.substr(from, tab == std::string_view::npos ? tab : tab - from));
        nameWidth_ = std::max(nameWidth_, body_.horizontalAdvance(names_.back()));
        if (tab == std::string_view::npos)
            break;
        from = tab + 1;
    }
    nameWidth_ = std::min(nameWidth_ + mm(4), width_ * 0.45);
    columns_.clear();
}

void WeldReport::Pass::protocol(const WeldRecord& weld)
{
    kestrava::readWeldProtocol(weld, weld_);
    takeHeader(weld.header);
    QString error = text_(weld_.errorText);
    if (!weld_.hasErrorField)
        error = WeldReport::tr("no error field");
    else if (!weld_.errorRow)
        error += QStringLiteral(" \u2014 ") + WeldReport::tr("unknown code");
    else
        error += QStringLiteral(" \u2014 ") + describeError(weld_.family, *weld_.errorRow);

    struct Row {
        QString name;
        QStringList value;
        bool key;
    };
    const double valueWidth = width_ - nameWidth_;
    QList<Row> rows;
    const auto add = [&](const QString& name, const QString& value, bool key) {
        rows.append({name, wrapped(value, body_, valueWidth), key});
    };
    add(WeldReport::tr("Download"),
        QString::fromUtf8(weld_.download.data(), qsizetype(weld_.download.size())), true);
    add(WeldReport::tr("Machine"),
        text_(weld_.serial) + QStringLiteral(" (") + latin1(familyName(weld_.family)) +
            QLatin1Char(')'),
        true);
    add(WeldReport::tr("Date and time"), text_(weld_.date) + QLatin1Char(' ') + text_(weld_.time),
        true);
    add(WeldReport::tr("Error"), error, true);
    for (std::size_t k = 0; k < weld_.fields.size(); ++k) {
        const QString name = k < std::size_t(names_.size())
                                 ? names_[qsizetype(k)]
                                 : WeldReport::tr("Field %1").arg(qulonglong(k) + 1);
        add(name, text_(weld_.fields[k].value), false);
    }

    const double titleHeight = heading_.lineSpacing() * 1.4;
    double blockHeight = titleHeight + mm(3);
    for (const Row& row : rows)
        blockHeight += line_ * double(row.value.size());
    const double gap = y_ > top_ ? mm(5) : 0;
    // A block is kept on one page when it fits on one.
    if (blockHeight + gap <= height_ - top_)
        ensure(blockHeight + gap);
    else
        ensure(titleHeight + 4 * line_ + gap);
    if (y_ > top_)
        y_ += gap;
    text(heading_, 0, y_, WeldReport::tr("Weld protocol no. %1").arg(qulonglong(weld_.number)));
    y_ += titleHeight;
    rule(y_ - mm(1), mm(0.2), Qt::darkGray);
    y_ += mm(1);
    bool firstField = true;
    for (const Row& row : rows) {
        for (qsizetype k = 0; k < row.value.size(); ++k) {
            ensure(line_);
            if (k == 0) {
                if (!row.key && firstField) {
                    firstField = false;
                    rule(y_ + mm(0.5), mm(0.1), Qt::lightGray);
                    y_ += mm(1);
                }
                text(row.key ? bold_ : body_, 0, y_, row.name);
            }
            text(body_, nameWidth_, y_, row.value[k]);
            y_ += line_;
        }
    }
}

void WeldReport::Pass::cover(const kestrava::ReportCover& cover)
{
    startPage();
    text(title_, 0, y_, WeldReport::tr("Handover Report"));
    y_ += title_.lineSpacing() * 1.5;
    const double keyWidth = std::max({bold_.horizontalAdvance(WeldReport::tr("Selection")),
                                      bold_.horizontalAdvance(WeldReport::tr("Machines")),
                                      bold_.horizontalAdvance(WeldReport::tr("Period")),
                                      bold_.horizontalAdvance(WeldReport::tr("Welds")),
                                      bold_.horizontalAdvance(WeldReport::tr("Welds not E00"))}) +
                            mm(4);
    const auto row = [&](const QString& name, const QString& value) {
        for (const QString& line : wrapped(value, body_, width_ - keyWidth)) {
            text(bold_, 0, y_, name);
            text(body_, keyWidth, y_, line);
            y_ += line_;
        }
    };
    if (!setup_.selection.isEmpty())
        row(WeldReport::tr("Selection"), setup_.selection);
    // The machines: as many as leave the page room for the rest of the cover.
    const auto shownMachines = std::min<std::size_t>(cover.machines.size(), 12);
    QString name = WeldReport::tr("Machines");
    for (std::size_t k = 0; k < shownMachines; ++k) {
        const kestrava::ReportMachine& machine = cover.machines[k];
        row(name, WeldReport::tr("%1 (%2), welds: %3")
                      .arg(text_(machine.serial), latin1(familyName(machine.family)),
                           QString::number(qulonglong(machine.welds))));
        name.clear();
    }
    if (const std::uint64_t more = cover.machines.size() - shownMachines + cover.machinesNotKept;
        more > 0)
        row(name, WeldReport::tr("and %1 more").arg(qulonglong(more)));
    if (cover.machines.empty())
        row(name, QStringLiteral("-"));
    QString period = cover.firstDay ? dayText(cover.firstDay) + QStringLiteral(" \u2013 ") +
                                          dayText(cover.lastDay)
                                    : QStringLiteral("-");
    if (cover.undated > 0)
        period += QStringLiteral(", ") +
                  WeldReport::tr("%1 without a date").arg(qulonglong(cover.undated));
    row(WeldReport::tr("Period"), period);
    row(WeldReport::tr("Welds"), QString::number(qulonglong(cover.welds)));
    row(WeldReport::tr("Welds not E00"), QString::number(qulonglong(cover.weldsNotOk)));
    y_ += mm(4);

    // The chart of the error codes, then their counts beside their descriptions.
    BarChartData data;
    data.title = QCoreApplication::translate("FormChart", "Error Codes");
    const std::vector<kestrava::ReportErrorCount> bars = cover.errorCounts();
    for (const kestrava::ReportErrorCount& bar : bars) {
        QString label = latin1(kestrava::errorCodeLabel(bar.family, bar.row));
        if (cover.mixedFamilies())
            label = latin1(familyName(bar.family)) + QLatin1Char(' ') + label;
        data.categories << label;
        data.values << double(bar.count);
        data.valueTexts << QString::number(qulonglong(bar.count));
    }
    const double scale = width_ / kChartWidth;
    if (shown()) {
        QFont chartFont(QStringLiteral("Arial"));
        chartFont.setPixelSize(14);
        const BarChartLayout layout =
            layoutBarChart(data, QSize(int(kChartWidth), int(kChartHeight)), chartFont);
        painter_->save();
        painter_->translate(0, y_);
        painter_->scale(scale, scale);
        paintBarChart(*painter_, layout);
        painter_->restore();
    }
    y_ += kChartHeight * scale + mm(4);
    const double countWidth = bold_.horizontalAdvance(QStringLiteral("000000")) + mm(4);
    ensure(line_);
    text(bold_, 0, y_, QCoreApplication::translate("FormChart", "Qty"));
    text(bold_, countWidth, y_, QCoreApplication::translate("FormChart", "Error Description"));
    y_ += line_;
    for (const kestrava::ReportErrorCount& bar : bars) {
        ensure(line_);
        QString description = describeError(bar.family, bar.row);
        if (cover.mixedFamilies())
            description = latin1(familyName(bar.family)) + QLatin1Char(' ') + description;
        text(body_, 0, y_, QString::number(qulonglong(bar.count)));
        text(body_, countWidth, y_, description);
        y_ += line_;
    }
    breakPage_ = true;
}

void WeldReport::Pass::tableHead()
{
    if (shown()) {
        QFont head = tableFont_;
        head.setBold(true);
        painter_->setFont(head);
        current_ = nullptr;
        for (qsizetype k = 0; k + 1 < columns_.size() && k < names_.size(); ++k)
            painter_->drawText(
                QRectF(columns_[k], y_, columns_[k + 1] - columns_[k] - mm(1), headHeight_),
                Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignBottom, names_[k]);
    }
    y_ += headHeight_;
    rule(y_ + mm(0.5), mm(0.2), Qt::black);
    y_ += mm(1);
}

void WeldReport::Pass::tableRow(const WeldRecord& weld, const kestrava::ReportCover& cover)
{
    kestrava::readWeldProtocol(weld, weld_);
    const bool newHeader = names_.isEmpty() || weld.header != header_;
    takeHeader(weld.header);
    if (newHeader || columns_.isEmpty()) {
        // Columns as wide as their longest value (or the longest word of their name),
        // in a smaller font where they do not fit at 7 points.
        QList<double> weights;
        double sum = 0;
        for (qsizetype k = 0; k < names_.size(); ++k) {
            qsizetype word = 0;
            for (const QString& part : names_[k].split(QLatin1Char(' ')))
                word = std::max(word, part.size());
            const std::size_t widest =
                std::size_t(k) < cover.widestField.size() ? cover.widestField[std::size_t(k)] : 0;
            const double weight =
                std::clamp(double(std::max<std::size_t>(widest, std::size_t(word))), 2.0, 28.0) + 1;
            weights << weight;
            sum += weight;
        }
        double points = 7;
        tableFont_ = font(points);
        table_.emplace(tableFont_, &device_);
        const double needed = sum * table_->averageCharWidth();
        if (needed > width_) {
            points = std::max(5.0, points * width_ / needed);
            tableFont_ = font(points);
            table_.emplace(tableFont_, &device_);
        }
        columns_.clear();
        double x = 0;
        for (const double weight : weights) {
            columns_ << x;
            x += width_ * weight / sum;
        }
        columns_ << width_;
        QFont head = tableFont_;
        head.setBold(true);
        const QFontMetricsF headMetrics(head, &device_);
        headHeight_ = headMetrics.lineSpacing();
        for (qsizetype k = 0; k < names_.size(); ++k) {
            const QRectF box =
                headMetrics.boundingRect(QRectF(0, 0, columns_[k + 1] - columns_[k] - mm(1), 1e6),
                                         Qt::TextWordWrap, names_[k]);
            headHeight_ = std::max(
                headHeight_, std::min(box.height(), headMetrics.lineSpacing() * kLongestHeadLines));
        }
        tableOn_ = true;
        // The head goes on top of a new page (startPage draws it), or under the rows
        // of another header where there is room for it and a few rows.
        if (page_ == 0 || breakPage_ || y_ + headHeight_ + 4 * table_->lineSpacing() > height_)
            startPage();
        else
            tableHead();
    }
    const double rowHeight = table_->lineSpacing() * 1.25;
    ensure(rowHeight);
    if (shown()) {
        painter_->setFont(tableFont_);
        current_ = nullptr;
        const double baseline = y_ + table_->ascent();
        const qsizetype count =
            std::min<qsizetype>(qsizetype(weld_.fields.size()), columns_.size() - 1);
        for (qsizetype k = 0; k < count; ++k) {
            const double cell = columns_[k + 1] - columns_[k] - table_->averageCharWidth();
            QString value = text_(weld_.fields[std::size_t(k)].value);
            if (value.size() * table_->maxWidth() > cell && table_->horizontalAdvance(value) > cell)
                value = table_->elidedText(value, Qt::ElideRight, cell);
            painter_->drawText(QPointF(columns_[k], baseline), value);
        }
        painter_->setPen(QPen(Qt::lightGray, mm(0.1)));
        painter_->drawLine(QPointF(0, y_ + rowHeight), QPointF(width_, y_ + rowHeight));
        painter_->setPen(Qt::black);
    }
    y_ += rowHeight;
}

WeldReport::WeldReport(const kestrava::WeldSource& welds, WeldReportSetup setup)
    : welds_(welds), setup_(std::move(setup))
{ }

FileResult WeldReport::gatherCover(const Progress& progress)
{
    if (cover_)
        return {};
    kestrava::ReportCover cover;
    const FileResult read = kestrava::collectReportCover(welds_, cover, progress);
    if (read.ok())
        cover_ = std::move(cover);
    return read;
}

FileResult WeldReport::run(Pass& pass, const Progress& progress)
{
    const auto stopOnFailure = [&pass](const Progress& reading) -> Progress {
        return [&pass, reading](std::uint64_t done, std::uint64_t total) {
            return !pass.failed() && (!reading || reading(done, total));
        };
    };
    if (setup_.kind == WeldReportSetup::Kind::Protocols) {
        return welds_.forEachWeld(
            [&pass](const WeldRecord& weld) {
                pass.protocol(weld);
                return !pass.failed();
            },
            stopOnFailure(progress));
    }
    const int passes = cover_ ? 2 : 3;
    if (const FileResult read = gatherCover(share(progress, 0, passes)); !read.ok())
        return read;
    pass.cover(*cover_);
    if (const FileResult read = welds_.forEachWeld(
            [&](const WeldRecord& weld) {
                pass.tableRow(weld, *cover_);
                return !pass.failed();
            },
            stopOnFailure(share(progress, passes - 2, passes)));
        !read.ok())
        return read;
    pass.endTable();
    WeldProtocol weld;
    return welds_.forEachWeld(
        [&](const WeldRecord& record) {
            kestrava::readWeldProtocol(record, weld);
            if (!weld.weldOk())
                pass.protocol(record);
            return !pass.failed();
        },
        stopOnFailure(share(progress, passes - 1, passes)));
}

FileResult WeldReport::countPages(QPaintDevice& device, int& pages, const Progress& progress)
{
    Pass pass(setup_, device, nullptr, 0, 1, 0);
    const FileResult read = run(pass, progress);
    pages = pass.pages();
    return read;
}

FileResult WeldReport::paint(QPagedPaintDevice& device, int totalPages, int fromPage, int toPage,
                             bool& painterFailed, const Progress& progress)
{
    painterFailed = false;
    QPainter painter;
    if (!painter.begin(&device)) {
        painterFailed = true;
        return {};
    }
    painter.setRenderHint(QPainter::Antialiasing);
    Pass pass(setup_, device, &painter, totalPages, std::max(fromPage, 1), toPage);
    const FileResult read = run(pass, progress);
    // A printout that did not finish is abandoned, not sent.
    if ((!read.ok() || pass.failed()) && dynamic_cast<QPrinter*>(&device))
        static_cast<QPrinter&>(device).abort();
    painterFailed = !painter.end() || pass.failed();
    return read;
}
