// Summarise a Folder: every download file in a folder and its subfolders summed up per
// machine, on every core, then shown in the fleet summary window.
#include <algorithm>
#include <new>
#include <thread>

#include "core/fleet/fleet_summary.h"
#include "core/settings/settings_file.h"
#include "gui/platform/default_folder.h"
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
        startFolderFromSettings(services_.workFolder,
                                QString::fromLatin1(kestrava::kDefaultLoadFileName)));
    if (!folder || folder->isEmpty())
        return;

    std::optional<kestrava::FleetSummary> summary;
    std::vector<kestrava::UnreadFile> unread;
    bool outOfMemory = false;
    const bool ran = runLong(tr("Summarising the downloads..."), [&](const kestrava::Progress& progress) {
        try {
            const auto files = kestrava::downloadFilesIn({toFsPath(*folder)}, unread);
            const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
            // The whole fleet: the filter panel's request belongs to the loaded file.
            summary = kestrava::summariseFleet(files, kestrava::ListingFilter{}, threads, progress);
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
    });
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

    FleetSummaryWindow* window = nullptr;
    try {
        window = new FleetSummaryWindow(
            std::move(*summary), shared_.language(), services_.dialogs,
            startFolderFromSettings(services_.workFolder,
                                    QString::fromLatin1(kestrava::kDefaultSaveFileName)),
            this);
    } catch (const std::bad_alloc&) {
        showPanelMessage(tr("Not enough memory to finish the summary."), *folder);
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &FleetSummaryWindow::fileChosen, this, [this](const QString& path) {
        if (!busy())
            openPath(path);
    });
    window->show();
}
