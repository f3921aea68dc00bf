#include "gui/view/listing_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace {

// Space between the frame and the text, as a text box leaves it.
constexpr int kMargin = 4;
// How often a drag held outside the view scrolls it further.
constexpr int kDragScrollMs = 50;

// Control characters would take no cell or odd ones: they show as spaces, so that
// every character keeps its column.
QString printable(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return text;
}

// A listing word for double-click: letters, digits and the signs inside dates,
// times, serial numbers and decimals.
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('/') ||
           c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char('_');
}

int clampToInt(double value)
{
    return int(std::clamp(value, 0.0, double(INT_MAX / 2)));
}

}  // namespace

ListingView::ListingView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    updateMetrics();
}

ListingView::~ListingView() = default;

void ListingView::setListing(QByteArray bytes, kestrava::Language language)
{
    setModel(ListingModel::ofBytes(std::move(bytes), language));
}

void ListingView::setModel(ListingModel model)
{
    model_ = std::move(model);
    resetView();
}

void ListingView::setPlainText(const QString& text)
{
    setModel(ListingModel::ofText(text));
}

void ListingView::letGoOfFile()
{
    model_.letGoOfFile();
    viewport()->update();
}

bool ListingView::takeBackFile()
{
    const bool back = model_.takeBackFile();
    if (!back)
        clear();
    viewport()->update();
    return back;
}

bool ListingView::moveFile(const QString& path)
{
    const bool moved = model_.moveFile(path);
    if (!takeBackFile())
        return false;
    return moved;
}

QString ListingView::toPlainText() const
{
    return textBetween({0, 0}, endOfText());
}

QString ListingView::lineText(qsizetype line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    return lineSlice(line, 0, lineLength(line));
}

QString ListingView::selectedText() const
{
    return textBetween(std::min(anchor_, cursor_), std::max(anchor_, cursor_));
}

void ListingView::setSelection(Position anchor, Position cursor)
{
    anchor_ = clamped(anchor);
    moveCursor(cursor, true);
    preferredColumn_ = cursor_.column;
}

qsizetype ListingView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

ListingView::Position ListingView::positionAt(const QPoint& point) const
{
    const qsizetype row = qsizetype(std::floor(double(point.y() - kMargin) / lineHeight_));
    const qsizetype line = std::clamp<qsizetype>(firstVisibleLine() + row, 0, lineCount() - 1);
    const double x = point.x() + horizontalScrollBar()->value() - kMargin;
    const qsizetype column =
        qsizetype(std::clamp(std::round(x / advance_), 0.0, double(lineLength(line))));
    return {line, column};
}

QMenu* ListingView::createContextMenu()
{
    auto* menu = new QMenu(this);
    QAction* copyAction = menu->addAction(tr("Copy"), this, &ListingView::copy);
    copyAction->setObjectName(QStringLiteral("copy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    menu->addSeparator();
    QAction* allAction = menu->addAction(tr("Select All"), this, &ListingView::selectAll);
    allAction->setObjectName(QStringLiteral("selectAll"));
    allAction->setShortcut(QKeySequence::SelectAll);
    allAction->setEnabled(!(lineCount() == 1 && lineLength(0) == 0));
    return menu;
}

void ListingView::copy()
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ListingView::selectAll()
{
    anchor_ = {0, 0};
    cursor_ = endOfText();
    preferredColumn_ = cursor_.column;
    viewport()->update();
}

// --- the text ---------------------------------------------------------------------

qsizetype ListingView::lineLength(qsizetype line) const
{
    return qsizetype(model_.length(std::size_t(line)));
}

ListingView::Position ListingView::clamped(Position position) const
{
    position.line = std::clamp<qsizetype>(position.line, 0, lineCount() - 1);
    position.column = std::clamp<qsizetype>(position.column, 0, lineLength(position.line));
    return position;
}

ListingView::Position ListingView::endOfText() const
{
    const qsizetype last = lineCount() - 1;
    return {last, lineLength(last)};
}

QString ListingView::lineSlice(qsizetype line, qsizetype from, qsizetype count) const
{
    const qsizetype length = lineLength(line);
    from = std::clamp<qsizetype>(from, 0, length);
    count = std::min(count, length - from);
    if (count <= 0)
        return {};
    const std::uint64_t start = model_.start(std::size_t(line)) + std::uint64_t(from);
    return model_.text(start, start + std::uint64_t(count));
}

QString ListingView::textBetween(Position from, Position to) const
{
    from = clamped(from);
    to = clamped(to);
    if (to <= from)
        return {};
    if (from.line == to.line)
        return lineSlice(from.line, from.column, to.column - from.column);
    // Several lines: the stored characters in one piece, their line ends made "\n".
    const std::uint64_t start = model_.start(std::size_t(from.line)) + std::uint64_t(from.column);
    const std::uint64_t end = model_.start(std::size_t(to.line)) + std::uint64_t(to.column);
    QString text = model_.text(start, end);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// --- layout and scrolling ---------------------------------------------------------

void ListingView::resetView()
{
    anchor_ = cursor_ = {};
    preferredColumn_ = 0;
    dragging_ = false;
    dragScrollTimer_.stop();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void ListingView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    advance_ = metrics.horizontalAdvance(QLatin1Char('x'));
    if (!(advance_ > 0))
        advance_ = 8;
    const QFontMetrics whole(font());
    lineHeight_ = std::max(1, whole.lineSpacing());
    ascent_ = whole.ascent();
    updateScrollBars();
    viewport()->update();
}

qsizetype ListingView::visibleLineCount() const
{
    return std::max(1, (viewport()->height() - 2 * kMargin) / lineHeight_);
}

void ListingView::updateScrollBars()
{
    const qsizetype lines = visibleLineCount();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(int(lines));
    vertical->setRange(0, clampToInt(double(lineCount() - lines)));

    // The longest line and one cell more for the cursor behind its last character.
    const double contentWidth = double(model_.longest() + 1) * advance_ + 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(1, int(std::lround(advance_))));
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, clampToInt(std::ceil(contentWidth) - viewport()->width()));
}

void ListingView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ListingView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ListingView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

void ListingView::ensureCursorVisible()
{
    QScrollBar* vertical = verticalScrollBar();
    const qsizetype lines = visibleLineCount();
    if (cursor_.line < vertical->value())
        vertical->setValue(int(cursor_.line));
    else if (cursor_.line >= vertical->value() + lines)
        vertical->setValue(int(cursor_.line - lines + 1));

    QScrollBar* horizontal = horizontalScrollBar();
    const double x = double(cursor_.column) * advance_;
    const int width = viewport()->width() - 2 * kMargin;
    if (x < horizontal->value())
        horizontal->setValue(int(std::floor(x)));
    else if (x + advance_ > horizontal->value() + width)
        horizontal->setValue(int(std::ceil(x + advance_ - width)));
}

// --- painting ---------------------------------------------------------------------

void ListingView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const QPalette& colours = palette();
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int scrolledX = horizontalScrollBar()->value();
    const double lineLeft = kMargin - scrolledX;  // x of column 0

    // Only the columns on screen are decoded and drawn: lines may be very long.
    const qsizetype firstColumn =
        std::max<qsizetype>(0, qsizetype(std::floor((scrolledX - kMargin) / advance_)));
    const qsizetype columns = qsizetype(std::ceil(width / advance_)) + 2;
    const auto drawColumns = [&](qsizetype line, qsizetype from, qsizetype to, int y) {
        from = std::max(from, firstColumn);
        to = std::min(to, firstColumn + columns);
        if (to > from)
            painter.drawText(QPointF(lineLeft + double(from) * advance_, y + ascent_),
                             printable(lineSlice(line, from, to - from)));
    };

    const Position selectionStart = std::min(anchor_, cursor_);
    const Position selectionEnd = std::max(anchor_, cursor_);
    const qsizetype first = firstVisibleLine();
    for (qsizetype row = 0, line = first; line < lineCount(); ++row, ++line) {
        const int y = kMargin + int(row) * lineHeight_;
        if (y >= height)
            break;
        painter.setPen(colours.color(QPalette::Text));
        drawColumns(line, 0, lineLength(line), y);

        if (hasSelection() && line >= selectionStart.line && line <= selectionEnd.line) {
            const qsizetype from = line == selectionStart.line ? selectionStart.column : 0;
            const qsizetype to = line == selectionEnd.line ? selectionEnd.column : lineLength(line);
            // A selected line end shows as half a cell behind the line.
            const double lineEnd = line < selectionEnd.line ? advance_ / 2 : 0;
            const QRectF band(lineLeft + double(from) * advance_, y,
                              double(to - from) * advance_ + lineEnd, lineHeight_);
            if (band.width() > 0) {
                painter.fillRect(band, colours.color(QPalette::Highlight));
                painter.setPen(colours.color(QPalette::HighlightedText));
                drawColumns(line, from, to, y);
            }
        }
        if (line == cursor_.line && hasFocus()) {
            const double x = lineLeft + double(cursor_.column) * advance_;
            painter.fillRect(QRectF(x, y, 1, lineHeight_), colours.color(QPalette::Text));
        }
    }
}

// --- keyboard ---------------------------------------------------------------------

void ListingView::moveCursor(Position to, bool keepAnchor)
{
    cursor_ = clamped(to);
    if (!keepAnchor)
        anchor_ = cursor_;
    ensureCursorVisible();
    viewport()->update();
}

bool ListingView::handleNavigationKey(QKeyEvent* event)
{
    enum class Move { Left, Right, Up, Down, PageUp, PageDown, LineStart, LineEnd, Start, End };
    struct Binding {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Move what;
    };
    static const Binding bindings[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Move::Left},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Move::Right},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Move::Up},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Move::Down},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Move::PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Move::PageDown},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Move::LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Move::LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Move::Start},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Move::End},
    };
    const Binding* found = nullptr;
    bool select = false;
    for (const Binding& binding : bindings) {
        if (event->matches(binding.move) || event->matches(binding.select)) {
            found = &binding;
            select = event->matches(binding.select);
            break;
        }
    }
    if (!found)
        return false;

    Position to = cursor_;
    bool vertical = false;
    const qsizetype page = visibleLineCount();
    switch (found->what) {
    case Move::Left:
        if (!select && hasSelection())
            to = std::min(anchor_, cursor_);  // a move without shift leaves at the start
        else if (to.column > 0)
            --to.column;
        else if (to.line > 0)
            to = {to.line - 1, lineLength(to.line - 1)};
        break;
    case Move::Right:
        if (!select && hasSelection())
            to = std::max(anchor_, cursor_);
        else if (to.column < lineLength(to.line))
            ++to.column;
        else if (to.line + 1 < lineCount())
            to = {to.line + 1, 0};
        break;
    case Move::Up:
        to.line -= 1;
        vertical = true;
        break;
    case Move::Down:
        to.line += 1;
        vertical = true;
        break;
    case Move::PageUp:
        to.line -= page;
        verticalScrollBar()->setValue(verticalScrollBar()->value() - int(page));
        vertical = true;
        break;
    case Move::PageDown:
        to.line += page;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + int(page));
        vertical = true;
        break;
    case Move::LineStart: to.column = 0; break;
    case Move::LineEnd: to.column = lineLength(to.line); break;
    case Move::Start: to = {0, 0}; break;
    case Move::End: to = endOfText(); break;
    }
    if (vertical)
        to.column = preferredColumn_;
    moveCursor(to, select);
    if (!vertical)
        preferredColumn_ = cursor_.column;
    return true;
}

void ListingView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        event->accept();
        return;
    }
    if (handleNavigationKey(event)) {
        event->accept();
        return;
    }
    // Read-only: typing changes nothing; the key goes on to the window.
    event->ignore();
}

bool ListingView::event(QEvent* event)
{
    // The view's own keys are not taken by the window's shortcuts while it has focus.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// --- mouse ------------------------------------------------------------------------

void ListingView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    moveCursor(positionAt(event->position().toPoint()), extend);
    preferredColumn_ = cursor_.column;
    dragging_ = true;
    lastDragPoint_ = event->position().toPoint();
    event->accept();
}

void ListingView::dragTo(const QPoint& point)
{
    lastDragPoint_ = point;
    moveCursor(positionAt(point), true);
    preferredColumn_ = cursor_.column;
    if (viewport()->rect().contains(point))
        dragScrollTimer_.stop();
    else if (!dragScrollTimer_.isActive())
        dragScrollTimer_.start(kDragScrollMs, this);
}

void ListingView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    dragTo(event->position().toPoint());
    event->accept();
}

void ListingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        dragScrollTimer_.stop();
        event->accept();
        return;
    }
    event->ignore();
}

void ListingView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != dragScrollTimer_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (dragging_)
        dragTo(lastDragPoint_);  // the view has scrolled: the point is over further text
    else
        dragScrollTimer_.stop();
}

void ListingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const Position at = positionAt(event->position().toPoint());
    const QString line = lineText(at.line);
    qsizetype from = at.column;
    qsizetype to = at.column;
    // The word under the pointer: the characters either side of the cell boundary.
    if (to < line.size() && isWordCharacter(line.at(to))) {
        while (to < line.size() && isWordCharacter(line.at(to)))
            ++to;
    }
    while (from > 0 && isWordCharacter(line.at(from - 1)))
        --from;
    if (to == at.column && from == at.column) {
        event->accept();
        return;
    }
    anchor_ = {at.line, from};
    moveCursor({at.line, to}, true);
    preferredColumn_ = cursor_.column;
    dragging_ = false;
    event->accept();
}

void ListingView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createContextMenu());
    menu->exec(event->globalPos());
}

// --- focus ------------------------------------------------------------------------

void ListingView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    update();
    viewport()->update();
}

void ListingView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    update();
    viewport()->update();
}
