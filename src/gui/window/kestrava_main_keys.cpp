// The window's keyboard (menu shortcuts, F10 and Alt into the menus, find), its title
// with the loaded file's name, the find bar and the recent files.
#include "gui/window/kestrava_main.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "gui/view/find_bar.h"
#include "gui/app/recent_files_menu.h"

namespace {

// Alt pressed and let go with no other key between opens the first menu, as F10 does
// (the menu bar's own Alt handling does not work without access keys in the captions).
// Only keys of the window itself count.
class AltOpensMenus final : public QObject {
public:
    AltOpensMenus(QMainWindow* window, QMenu* first)
        : QObject(window), window_(window), first_(first)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress) {
            altAlone_ = key->key() == Qt::Key_Alt && key->modifiers() == Qt::AltModifier;
        } else if (key->key() == Qt::Key_Alt && altAlone_ && !key->isAutoRepeat()) {
            altAlone_ = false;
            window_->menuBar()->setActiveAction(first_->menuAction());
        }
        return false;
    }

private:
    QMainWindow* window_;
    QMenu* first_;
    bool altAlone_ = false;
};

}  // namespace

void Kestrava_Main::buildKeys()
{
    caption_ = windowTitle();

    Menu_OpenFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Menu_SaveFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Menu_PrintRecords->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Menu_Close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Find has no menu item: its keys are the window's.
    const auto windowKey = [this](const char* name, QKeySequence key, auto slot) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, Find_Bar, slot);
        return action;
    };
    Action_Find = windowKey("Action_Find", QKeySequence(Qt::CTRL | Qt::Key_F), &FindBar::open);
    Action_FindNext = windowKey("Action_FindNext", QKeySequence(Qt::Key_F3), &FindBar::findNext);
    Action_FindPrevious = windowKey("Action_FindPrevious", QKeySequence(Qt::SHIFT | Qt::Key_F3),
                                    &FindBar::findPrevious);
    auto* menus = new QAction(this);
    menus->setObjectName(QStringLiteral("Action_Menus"));
    menus->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menus);
    connect(menus, &QAction::triggered, this,
            [this] { menuBar()->setActiveAction(Menu_File->menuAction()); });
    new AltOpensMenus(this, Menu_File);

    Menu_Recent = new RecentFilesMenu(services_.settingsFolder, this);
    Menu_Recent->setObjectName(QStringLiteral("Menu_Recent"));
    Menu_File->insertMenu(Menu_Sep_1, Menu_Recent);
    connect(Menu_Recent, &RecentFilesMenu::fileChosen, this, &Kestrava_Main::openRecentFile);
    connect(Menu_File, &QMenu::aboutToShow, Menu_Recent, &RecentFilesMenu::refresh);

    if (shared_.language() != kestrava::Language::Other) {
        Menu_Recent->setTitle(tr("Recent Files"));
        Find_Bar->applyCaptions();
    } else {
        Menu_Recent->setTitle(QStringLiteral("Recent Files"));
    }
}

void Kestrava_Main::showLoadedState()
{
    const QString path = session_->ChosenFilePath();
    if (!session_->FileLoaded() || path.isEmpty()) {
        setWindowTitle(caption_);
        return;
    }
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + caption_);
    Menu_Recent->remember(path);
}

void Kestrava_Main::openRecentFile(const QString& path)
{
    if (busy())
        return;
    if (!QFileInfo(path).isFile()) {
        Menu_Recent->forget(path);
        showPanelMessage(
            tr("The file is no longer there; it has been taken off the list of recent files."),
            path);
        return;
    }
    openPath(path);
}
