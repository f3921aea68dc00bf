// FindBar: the bar under the listing for finding a text in it. Case is ignored; Enter
// or "Next" finds the next place, Shift+Enter or "Previous" the one before, both going
// round the end of the listing; a text that is nowhere is said in the bar. Escape or
// the close button hides the bar and gives the keyboard back to the listing.
#pragma once

#include <QWidget>

class ListingView;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class FindBar : public QWidget {
    Q_OBJECT

public:
    FindBar(ListingView* listing, QWidget* parent = nullptr);

    // Sets the captions in the build language (called once the translations are in).
    void applyCaptions();

    QLineEdit* Text_Find = nullptr;
    QPushButton* Command_Next = nullptr;
    QPushButton* Command_Previous = nullptr;
    QToolButton* Command_CloseFind = nullptr;
    QLabel* Label_FindResult = nullptr;

public slots:
    // Shows the bar with the keyboard in its text box, the text selected.
    void open();
    void close();
    // Finds the next / the previous place; opens the bar first if it is hidden.
    void findNext();
    void findPrevious();
    // Forgets the result of the last search ("Not found"): another file is shown.
    void clearResult();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void find(bool backward);

    ListingView* listing_;
};
