// Summarise a Folder: every download file in a folder and its subfolders summed up per
// machine, on every core, then shown in the fleet summary window.
#include <algorithm>
#include <atomic>
#include <new>
#include <thread>

#include "core/fleet/fleet_summary.h"
#include "core/settings/settings_file.h"
#include "gui/app/default_folder.h"
#include "gui/reports/fleet_summary_window.h"
#include "gui/platform/fs_path.h"
#include "gui/window/kestrava_main.h"
#include "gui/services/user_dialogs.h"

void Kestrava_Main::Menu_FleetSummary_Click()
{
    if (busy())
        return;
    const std::optional<QString> folder = services_.dialogs->folderName(
        this, tr("Summarise a Folder"),
        startFolderFromSettings(services_.settingsFolder,
                                QString::fromLatin1(kestrava::kDefaultLoadFileName)));
    if (!folder || folder->isEmpty())
        return;

    std::optional<kestrava::FleetSummary> summary;
    std::vector<kestrava::UnreadFile> unread;
    bool outOfMemory = false;
    // The bar counts the bytes read, the text the files done: a few large files move
    // the bar as they are read.
    std::atomic<std::uint64_t> filesDone{0};
    std::atomic<std::uint64_t> filesTotal{0};
    const QString label = tr("Summarising the downloads...");
    const auto currentLabel = [&]() -> QString {
        const std::uint64_t total = filesTotal.load();
        if (total == 0)
            return label;
        return label + QLatin1Char('\n') +
               tr("%1 of %2 files").arg(qulonglong(filesDone.load())).arg(qulonglong(total));
    };
    const bool ran = runLong(
        label,
        [&](const kestrava::Progress& progress) {
            try {
                const auto files = kestrava::downloadFilesIn({toFsPath(*folder)}, unread);
                filesTotal.store(files.size());
                const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
                // The whole fleet: the filter panel's request belongs to the loaded file.
                summary = kestrava::summariseFleet(
                    files, kestrava::ListingFilter{}, threads,
                    [&](std::uint64_t done, std::uint64_t) {
                        filesDone.store(done);
                        return true;  // the bytes report says whether to go on
                    },
                    progress);
                if (summary) {
                    summary->unread.insert(summary->unread.begin(), unread.begin(), unread.end());
                    std::stable_sort(summary->unread.begin(), summary->unread.end(),
                                     [](const auto& a, const auto& b) { return a.path < b.path; });
                }
            } catch (const std::bad_alloc&) {
                summary.reset();
                unread.clear();
                outOfMemory = true;
            }
        },
        currentLabel);
    if (outOfMemory) {
        showPanelMessage(tr("Not enough memory to finish the summary."), *folder);
        return;
    }
    if (!ran || !summary)
        return;  // cancelled, or the window is closing
    if (summary->machines.empty() && summary->unread.empty()) {
        showPanelMessage(tr("No download files (names ending in xls or pfd) are in this folder."),
                         *folder);
        return;
    }

    // A window of its own, not one kept above the main window: a file opened from it
    // brings the main window in front of it. It closes with the main window.
    FleetSummaryWindow* window = nullptr;
    try {
        window = new FleetSummaryWindow(
            std::move(*summary), shared_.language(), services_.dialogs,
            startFolderFromSettings(services_.settingsFolder,
                                    QString::fromLatin1(kestrava::kDefaultSaveFileName)));
    } catch (const std::bad_alloc&) {
        showPanelMessage(tr("Not enough memory to finish the summary."), *folder);
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    fleetWindows_.push_back(window);
    connect(window, &FleetSummaryWindow::fileChosen, this, &Kestrava_Main::openFromOtherWindow);
    window->show();
}

void Kestrava_Main::closeFleetWindows()
{
    for (const QPointer<FleetSummaryWindow>& window : fleetWindows_) {
        if (window)
            delete window.data();
    }
    fleetWindows_.clear();
}

void Kestrava_Main::openFromOtherWindow(const QString& path)
{
    // A file chosen in the summary or the archive window: this window comes to the front
    // and lists it, unless it is busy with a command.
    if (busy())
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    openPath(path);
}
