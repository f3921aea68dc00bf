// The weld archive window: the welds of an archive file under filters (machines,
// dates, error numbers, text in any field) in a table fetched page by page, a chart of
// the welds and of the share not "E00" per month of the selection, import of download
// files and folders (through the runner, with progress and Cancel, and a report of
// what was added), the selection saved as CSV or as an Excel workbook, and the
// download a weld came from opened in the main window; the weld protocols and the
// handover report of the selection (archive_window_reports.cpp).
#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/archive/weld_archive.h"
#include "core/settings/build_profile.h"

class BarChartView;
class PrinterProvider;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class UserDialogs;
class WeldTableModel;
class WorkRunner;

class ArchiveWindow : public QDialog {
    Q_OBJECT

public:
    // archivePath: the archive shown first (it need not exist yet: an import makes it).
    // saveFolder: where the Save choosers start.
    ArchiveWindow(std::filesystem::path archivePath, kestrava::Language language,
                  UserDialogs* dialogs, QString saveFolder, QWidget* parent = nullptr);
    ~ArchiveWindow() override;

    // Printing and the brand on the reports' pages; without printers the reports are
    // written as PDF files only.
    void setReportServices(PrinterProvider* printers, std::string brandKey);

    bool busy() const;
    const std::filesystem::path& archivePath() const { return path_; }
    // What the last import added, as its report said it (for the tests too).
    const QString& lastReport() const { return lastReport_; }

    QLabel* Label_Archive = nullptr;
    QPushButton* Command_OpenArchive = nullptr;
    QPushButton* Command_ImportFiles = nullptr;
    QPushButton* Command_ImportFolder = nullptr;
    QListWidget* List_Machines = nullptr;  // none selected: every machine
    QLineEdit* Text_From = nullptr;
    QLineEdit* Text_To = nullptr;
    QLineEdit* Text_Error = nullptr;  // error numbers, separated by commas or blanks
    QLineEdit* Text_Find = nullptr;  // text in any field
    QPushButton* Command_Apply = nullptr;
    QTableView* Table_Welds = nullptr;
    WeldTableModel* Welds_Model = nullptr;
    QLabel* Label_Count = nullptr;
    BarChartView* Chart_Welds = nullptr;
    BarChartView* Chart_Share = nullptr;
    QPushButton* Command_OpenDownload = nullptr;
    QPushButton* Command_SaveCsv = nullptr;
    QPushButton* Command_SaveXlsx = nullptr;  // none in a build without the xlsx export
    QPushButton* Command_Protocol = nullptr;  // Weld Protocol: Save as PDF..., Print...
    QAction* Menu_ProtocolPdf = nullptr;
    QAction* Menu_ProtocolPrint = nullptr;
    QPushButton* Command_Handover = nullptr;  // Handover Report: Save as PDF..., Print...
    QAction* Menu_HandoverPdf = nullptr;
    QAction* Menu_HandoverPrint = nullptr;
    QPushButton* Command_Close = nullptr;

signals:
    // The download a weld was first seen in, to be opened in the main window.
    void fileChosen(const QString& path);

public slots:
    void Command_OpenArchive_Click();
    void Command_ImportFiles_Click();
    void Command_ImportFolder_Click();
    void Command_Apply_Click();
    void Command_OpenDownload_Click();
    void Command_SaveCsv_Click();
    void Command_SaveXlsx_Click();
    void Menu_ProtocolPdf_Click();
    void Menu_ProtocolPrint_Click();
    void Menu_HandoverPdf_Click();
    void Menu_HandoverPrint_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildReportButtons();
    // The welds the table shows as protocols or a handover report, to a PDF or a printer.
    void writeWeldReport(bool handover, bool toPrinter);
    // What the welds of query are, for the report's cover.
    QString selectionText(const kestrava::ArchiveQuery& query) const;
    // Opens path for reading (through the runner: the check of a large archive takes
    // a while) and shows it under the present filters.
    void openArchive(const std::filesystem::path& path);
    void fillMachines();
    void showSelection();
    void fillCharts(const std::vector<kestrava::MonthCount>& months);
    void importPaths(const std::vector<std::filesystem::path>& paths);
    // The query of the filters; nullopt (after a message) when one cannot be read.
    std::optional<kestrava::ArchiveQuery> queryOfFilters();
    QString chooseTarget(const QString& title, const QString& filter, const QString& name,
                         const QString& extension);
    // A message of a failed save: the name exists already, or the reason.
    void showSaveFault(const kestrava::FileResult& result, const QString& path);
    void showArchiveFault(const QString& text, const std::string& detail);
    bool runLong(const QString& label, const std::function<void(const kestrava::Progress&)>& work);

    std::filesystem::path path_;
    kestrava::Language language_;
    UserDialogs* dialogs_;
    QString saveFolder_;
    std::unique_ptr<kestrava::WeldArchive> reader_;  // null while the archive is not there
    std::unique_ptr<WorkRunner> runner_;
    QString lastReport_;
    bool closeAfterRun_ = false;
    PrinterProvider* printers_ = nullptr;
    std::string brandKey_;
};
