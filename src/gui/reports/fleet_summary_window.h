// The fleet summary window: one row per machine of the downloads summed up (sortable),
// a bar chart of each machine's share of records not "E00", the files of the machine
// double-clicked (a double-click on one opens it in the main window), the files that
// could not be read with the reason, and Save as CSV.
#pragma once

#include <QDialog>

#include "core/settings/build_profile.h"
#include "core/fleet/fleet_summary.h"

class BarChartView;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QModelIndex;
class QPushButton;
class QSplitter;
class QStandardItemModel;
class QTableView;
class UserDialogs;

class FleetSummaryWindow : public QDialog {
    Q_OBJECT

public:
    // The role by which a column sorts: numbers and dates as numbers, texts as texts.
    static constexpr int SortRole = Qt::UserRole + 1;

    FleetSummaryWindow(kestrava::FleetSummary summary, kestrava::Language language,
                       UserDialogs* dialogs, QString saveFolder, QWidget* parent = nullptr);

    QTableView* Table_Machines = nullptr;
    QStandardItemModel* Machines_Model = nullptr;
    BarChartView* Chart_Shares = nullptr;
    QLabel* Label_Files = nullptr;
    QListWidget* List_Files = nullptr;
    QLabel* Label_Unread = nullptr;
    QListWidget* List_Unread = nullptr;
    QPushButton* Command_SaveCsv = nullptr;
    QPushButton* Command_Close = nullptr;

signals:
    // A file double-clicked in List_Files, to be opened in the main window.
    void fileChosen(const QString& path);

public slots:
    void Table_Machines_DoubleClick(const QModelIndex& index);
    void List_Files_DoubleClick(QListWidgetItem* item);
    void Command_SaveCsv_Click();

private:
    void fillTable();
    void fillChart();
    void fillUnread();
    void fitTable(QSplitter* top);
    QString text(const std::string& bytes) const;  // file bytes in the build's code page
    std::string csvText() const;  // UTF-8, headings in the window's language

    kestrava::FleetSummary summary_;
    kestrava::Language language_;
    UserDialogs* dialogs_;
    QString saveFolder_;
};
