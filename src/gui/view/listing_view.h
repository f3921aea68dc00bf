// ListingView: a read-only, selectable, fixed-pitch text view for listings of any
// size. It shows a ListingModel (the listing's bytes, mapped from the listing file,
// with the index of where each line starts); only the lines on screen are decoded and
// painted.
// Lines are never wrapped: both scroll bars appear as needed, the horizontal one as
// wide as the longest line.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QByteArray>
#include <QString>
#include <compare>

#include "core/settings/build_profile.h"
#include "gui/view/listing_model.h"

class QMenu;

class ListingView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // A place in the text: a line and the character cell before which it stands.
    struct Position {
        qsizetype line = 0;
        qsizetype column = 0;
        friend bool operator==(const Position&, const Position&) = default;
        friend auto operator<=>(const Position&, const Position&) = default;
    };

    explicit ListingView(QWidget* parent = nullptr);
    ~ListingView() override;

    // Shows a listing: bytes of the code page of `language`. Selection and scrolling
    // start again at the top.
    void setListing(QByteArray bytes, kestrava::Language language);
    // Shows a model (a mapped listing file) the same way.
    void setModel(ListingModel model);
    const ListingModel& model() const { return model_; }
    // The shown listing file's mapping let go and taken back, and the file renamed:
    // see ListingModel. A file that cannot be taken back leaves the view empty (false).
    void letGoOfFile();
    bool takeBackFile();
    bool moveFile(const QString& path);
    // Shows a text (a placeholder or a message) the same way.
    void setPlainText(const QString& text);
    void clear() { setPlainText({}); }

    // The whole text, lines joined by "\n".
    QString toPlainText() const;

    qsizetype lineCount() const { return qsizetype(model_.lineCount()); }
    // One line without its line end.
    QString lineText(qsizetype line) const;

    // The selection runs from the anchor to the cursor (either may come first).
    Position anchorPosition() const { return anchor_; }
    Position cursorPosition() const { return cursor_; }
    bool hasSelection() const { return anchor_ != cursor_; }
    QString selectedText() const;
    // Selects from anchor to cursor; both are kept inside the text.
    void setSelection(Position anchor, Position cursor);

    // The first line shown at the top.
    qsizetype firstVisibleLine() const;
    // The width of one character cell and the height of one line, in pixels.
    qreal characterWidth() const { return advance_; }
    int lineHeight() const { return lineHeight_; }

    // The character cell under a point of the viewport.
    Position positionAt(const QPoint& point) const;

    // Finds text, case ignored, after the selection's start (backward: before it),
    // going round the end; selects the place found and scrolls it into view. false
    // when the text is nowhere (the selection stays).
    bool find(const QString& text, bool backward);

    // The context menu's commands, built afresh each time it opens.
    QMenu* createContextMenu();

public slots:
    void copy();
    void selectAll();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Characters [from, from + count) of a line, as text (count is cut at the line end).
    QString lineSlice(qsizetype line, qsizetype from, qsizetype count) const;
    // Characters [from, to) of the whole text, line ends as "\n".
    QString textBetween(Position from, Position to) const;
    qsizetype lineLength(qsizetype line) const;
    Position clamped(Position position) const;
    Position endOfText() const;

    void resetView();
    void updateMetrics();
    void updateScrollBars();
    qsizetype visibleLineCount() const;  // lines that fit whole
    void moveCursor(Position to, bool keepAnchor);
    void ensureCursorVisible();
    // Handles a key of the keyboard's standard bindings; false when it is none of them.
    bool handleNavigationKey(QKeyEvent* event);
    void dragTo(const QPoint& point);

    ListingModel model_;

    Position anchor_;
    Position cursor_;
    qsizetype preferredColumn_ = 0;  // kept over up/down moves through shorter lines
    bool dragging_ = false;
    QPoint lastDragPoint_;
    QBasicTimer dragScrollTimer_;  // scrolls while a drag is held outside the view

    qreal advance_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
};
