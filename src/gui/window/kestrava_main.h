// Kestrava_Main: the program's main window, its menus, the listing and the filter panel.
//
// The loaded download has one owner, the window's DownloadSession (gui/app): it runs
// open, relist, save and print through the window's one WorkRunner and signals what a
// listing run came to (opened, listed, handed over, failed, closed). The window's
// title, the filter line under the panel and the panel itself listen to it; Save,
// Print, the chart and the protocols read the download through it when they run. The
// filter panel (FilterPanel, Frame1) holds the filter request and asks for a listing
// with it.
//
// The commands are split over files named after them:
//   kestrava_main.cpp          construction, layout, captions, logos, activation
//   kestrava_main_open.cpp     Open File and the listing shown in Text1
//   kestrava_main_filter.cpp   the filter line under the panel, the panel's requests
//   kestrava_main_save.cpp     Save File
//   kestrava_main_print.cpp    Print Records
//   kestrava_main_defaults.cpp the default OPEN/SAVE folder forms
//   kestrava_main_chart.cpp    Graph Data
//   kestrava_main_help.cpp     the Help menu
//   kestrava_main_keys.cpp     shortcuts, the title, the find bar, recent files
//   kestrava_main_fleet.cpp    Summarise a Folder
//   kestrava_main_protocol.cpp Weld Protocol and Handover Report (PDF or printer)
//   kestrava_main_archive.cpp  Weld Archive
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

#include "core/document/loaded_download.h"
#include "gui/app/download_session.h"
#include "gui/app/shared_values.h"
#include "gui/services/app_services.h"
#include "gui/services/work_runner.h"
#include "gui/window/filter_panel.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class ListingView;
class FindBar;
class FleetSummaryWindow;
class ArchiveWindow;
class RecentFilesMenu;

class Kestrava_Main : public QMainWindow {
    Q_OBJECT

public:
    // profile: the build profile (tests pass others). services: the adapters, all set.
    explicit Kestrava_Main(const kestrava::BuildProfile& profile, AppServices services,
                           QWidget* parent = nullptr);
    ~Kestrava_Main() override;

    SharedValues& shared() { return shared_; }
    // The loaded download, its state read by the design's names.
    DownloadSession& session() { return *session_; }
    const AppServices& services() const { return services_; }

    // Opens path as if it had been chosen in the Open dialog (command line, drop).
    void openPath(const QString& path);
    // Brings this window to the front and opens a file another window chose.
    void openFromOtherWindow(const QString& path);
    // True while a command's long work runs (opening, listing, saving, printing).
    bool busy() const { return runner_->busy(); }

public slots:
    void Menu_OpenFile_Click();
    void Menu_SaveFile_Click();
    void Menu_FleetSummary_Click();
    void Menu_Archive_Click();
    void Menu_DefaultLoad_Click();
    void Menu_DefaultSave_Click();
    void Menu_Close_Click();
    void Menu_PrintRecords_Click();
    void Menu_ProtocolPdf_Click();
    void Menu_ProtocolPrint_Click();
    void Menu_HandoverPdf_Click();
    void Menu_HandoverPrint_Click();
    void Menu_GraphShow_Click();
    void Menu_Support_Click();
    void Menu_Version_Click();
    void Menu_Copyright_Click();

protected:
    void Form_Load();  // ApplyBuildProfile
    void Form_Activate();  // the listing's fixed layout setting
    bool event(QEvent* event) override;

private:
    void ApplyBuildProfile();
    void ShowBrandLogo();
    void ApplyCaptions();
    // Names the filters of the listing shown in Label_FilterInForce (kestrava_main_filter.cpp).
    void showFilterInForce();
    // The listeners of the session and the panel (kestrava_main_filter.cpp).
    void connectSession();
    void buildControls();
    void buildMenus();

    // Shortcuts, the title, the find bar and the recent files (kestrava_main_keys.cpp).
    void buildKeys();
    // After a listing run: the title names the loaded file (or is the caption alone)
    // and a newly shown file goes to the top of the recent files.
    void showLoadedState();
    void openRecentFile(const QString& path);
    QString caption_;  // the window's title with no file loaded

    // A file the listing cannot show goes to a spreadsheet program; the user is told
    // why and what was done (kestrava_main_handover.cpp).
    void handOverToSpreadsheet(const kestrava::ListingSummary& summary);

    // The Open command's pieces (kestrava_main_open.cpp).
    void freshOpen(const std::optional<QString>& chosenPath);
    void relistLoadedFile(const kestrava::ListingFilter& filter);
    // Opens chosenPath, or lists the loaded file again, under filter.
    void runListing(const std::optional<QString>& chosenPath,
                    const kestrava::ListingFilter& filter);
    // What a failed listing run is told as.
    void showListingFault(const kestrava::DownloadFault& fault);
    // Runs work through the runner; false when it was cancelled or the window closes.
    bool runLong(const QString& label, const WorkRunner::Work& work,
                 const std::function<QString()>& currentLabel = {});
    QString noFileText() const;
    // A message of the Open command and the filter panel, in the build language.
    void showPanelMessage(const QString& text, const QString& detail = {});

    // Weld protocols and the handover report (kestrava_main_protocol.cpp): the
    // listing's selected lines (or the whole listing) written as a PDF or printed.
    void buildProtocolMenus();
    void writeWeldReport(bool handover, bool toPrinter);

    // The fleet summary windows opened from this one: top-level windows of their own,
    // closed with it.
    std::vector<QPointer<FleetSummaryWindow>> fleetWindows_;
    void closeFleetWindows();
    // The weld archive window: one at a time, a window of its own, closed with this one.
    QPointer<ArchiveWindow> archiveWindow_;
    void closeArchiveWindow();

    SharedValues shared_;
    AppServices services_;
    std::unique_ptr<WorkRunner> runner_;  // the one runner of the window's long work
    // The loaded download: the file, its work files and its last listing.
    DownloadSession* session_ = nullptr;
    bool closeAfterRun_ = false;
    // The window was closed during a run and closes when it returns: a file that
    // run opened is not handed over.
    bool closing_ = false;

public:
    // Controls, named as in the design (objectName is the same).
    QFrame* Line1 = nullptr;
    ListingView* Text1 = nullptr;
    FilterPanel* Frame1 = nullptr;  // the filter panel, with its options, dates and error
    QLabel* Label_FilterInForce = nullptr;  // under Frame1: the filters of the listing shown
    QLabel* Picture_brenviksmall = nullptr;
    QLabel* Picture_sorvantasmall = nullptr;
    QLabel* Picture_teldrumsmall = nullptr;
    QLabel* Picture_ombreksmall = nullptr;

    FindBar* Find_Bar = nullptr;  // under the listing, shown by Ctrl+F

    QMenu* Menu_File = nullptr;
    QAction* Menu_OpenFile = nullptr;
    QAction* Menu_SaveFile = nullptr;
    QAction* Menu_FleetSummary = nullptr;
    QAction* Menu_Archive = nullptr;  // none in a build without the archive
    QAction* Menu_Sep_1 = nullptr;
    QAction* Menu_DefaultLoad = nullptr;
    QAction* Menu_DefaultSave = nullptr;
    RecentFilesMenu* Menu_Recent = nullptr;
    QAction* Menu_Sep_3 = nullptr;
    QAction* Menu_Close = nullptr;
    QMenu* Menu_Print = nullptr;
    QAction* Menu_PrintRecords = nullptr;
    QMenu* Menu_Protocol = nullptr;  // Weld Protocol: Save as PDF..., Print...
    QAction* Menu_ProtocolPdf = nullptr;
    QAction* Menu_ProtocolPrint = nullptr;
    QMenu* Menu_Handover = nullptr;  // Handover Report: Save as PDF..., Print...
    QAction* Menu_HandoverPdf = nullptr;
    QAction* Menu_HandoverPrint = nullptr;
    QMenu* Menu_Graph = nullptr;
    QAction* Menu_GraphShow = nullptr;
    QMenu* Menu_Help = nullptr;
    QAction* Menu_Support = nullptr;
    QAction* Menu_Sep_2 = nullptr;
    QAction* Menu_Version = nullptr;
    QAction* Menu_Copyright = nullptr;
    QAction* Action_Find = nullptr;  // Ctrl+F
    QAction* Action_FindNext = nullptr;  // F3
    QAction* Action_FindPrevious = nullptr;  // Shift+F3
};
