// Weld Archive: the window over the archive of every download imported.
#include "gui/window/kestrava_main.h"

#ifdef KESTRAVA_HAVE_ARCHIVE
#include "core/settings/settings_file.h"
#include "gui/archive/archive_window.h"
#include "gui/app/default_folder.h"
#endif

void Kestrava_Main::Menu_Archive_Click()
{
#ifdef KESTRAVA_HAVE_ARCHIVE
    if (archiveWindow_) {
        archiveWindow_->showNormal();
        archiveWindow_->raise();
        archiveWindow_->activateWindow();
        return;
    }
    auto* window = new ArchiveWindow(
        kestrava::defaultArchivePath(), shared_.language(), services_.dialogs,
        startFolderFromSettings(services_.settingsFolder,
                                QString::fromLatin1(kestrava::kDefaultSaveFileName)));
    window->setReportServices(services_.printers, shared_.profile.brandKey);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    archiveWindow_ = window;
    connect(window, &ArchiveWindow::fileChosen, this, &Kestrava_Main::openFromOtherWindow);
    window->show();
#endif
}

void Kestrava_Main::closeArchiveWindow()
{
#ifdef KESTRAVA_HAVE_ARCHIVE
    // A window in the middle of an import stops it and closes after it.
    if (archiveWindow_ && archiveWindow_->busy())
        archiveWindow_->close();
    else if (archiveWindow_)
        delete archiveWindow_.data();
#endif
}
