#include "gui/view/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "gui/view/listing_view.h"

FindBar::FindBar(ListingView* listing, QWidget* parent) : QWidget(parent), listing_(listing)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Label_FindResult = new QLabel(this);
    Label_FindResult->setObjectName(QStringLiteral("Label_FindResult"));
    Text_Find = new QLineEdit(this);
    Text_Find->setObjectName(QStringLiteral("Text_Find"));
    Text_Find->setClearButtonEnabled(true);
    Command_Next = new QPushButton(this);
    Command_Next->setObjectName(QStringLiteral("Command_Next"));
    Command_Previous = new QPushButton(this);
    Command_Previous->setObjectName(QStringLiteral("Command_Previous"));
    Command_CloseFind = new QToolButton(this);
    Command_CloseFind->setObjectName(QStringLiteral("Command_CloseFind"));
    Command_CloseFind->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    Command_CloseFind->setAutoRaise(true);
    for (QWidget* control :
         {static_cast<QWidget*>(Command_Next), static_cast<QWidget*>(Command_Previous),
          static_cast<QWidget*>(Command_CloseFind)})
        control->setFocusPolicy(Qt::NoFocus);  // the keyboard stays in the text box

    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label_Find"));
    label->setBuddy(Text_Find);
    layout->addWidget(label);
    layout->addWidget(Text_Find, 1);
    layout->addWidget(Command_Next);
    layout->addWidget(Command_Previous);
    layout->addWidget(Label_FindResult, 1);
    layout->addWidget(Command_CloseFind);

    Text_Find->installEventFilter(this);
    connect(Text_Find, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(Text_Find, &QLineEdit::textEdited, Label_FindResult, &QLabel::clear);
    connect(Command_Next, &QPushButton::clicked, this, &FindBar::findNext);
    connect(Command_Previous, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(Command_CloseFind, &QToolButton::clicked, this, &FindBar::close);
    applyCaptions();
}

void FindBar::applyCaptions()
{
    findChild<QLabel*>(QStringLiteral("Label_Find"))->setText(tr("Find:"));
    Command_Next->setText(tr("Next"));
    Command_Previous->setText(tr("Previous"));
    Command_CloseFind->setToolTip(tr("Close"));
}

void FindBar::open()
{
    show();
    Text_Find->setFocus(Qt::ShortcutFocusReason);
    Text_Find->selectAll();
}

void FindBar::close()
{
    hide();
    Label_FindResult->clear();
    listing_->setFocus(Qt::OtherFocusReason);
}

void FindBar::findNext()
{
    find(false);
}

void FindBar::findPrevious()
{
    find(true);
}

void FindBar::find(bool backward)
{
    if (Text_Find->text().isEmpty()) {
        open();
        return;
    }
    show();
    Label_FindResult->setText(listing_->find(Text_Find->text(), backward) ? QString()
                                                                          : tr("Not found"));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    // Shift+Enter in the text box goes back; the box would take it for Enter.
    if (watched == Text_Find && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindBar::clearResult()
{
    Label_FindResult->clear();
}
