#include "gui/reports/fleet_summary_window.h"

#include <QBoxLayout>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/files/file_io.h"
#include "core/fleet/fleet_table.h"
#include "core/text/csv_text.h"
#include "core/files/system_error_text.h"
#include "gui/app/file_reasons.h"
#include "gui/reports/bar_chart.h"
#include "gui/view/code_page.h"
#include "gui/platform/fs_path.h"
#include "gui/services/user_dialogs.h"

namespace {

constexpr int kMachineRole = Qt::UserRole + 2;  // the row's index into the summary

// The machines' table remembers the order it was last sorted in, so that its date
// cells can keep the rows without a date last in both orders.
class MachinesModel final : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    void sort(int column, Qt::SortOrder order) override
    {
        order_ = order;
        QStandardItemModel::sort(column, order);
    }
    Qt::SortOrder order() const { return order_; }

private:
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

// A date cell: sorts by its day; a machine with no readable date has no sort value
// and goes after every dated one, ascending or descending.
class DayItem final : public QStandardItem {
public:
    using QStandardItem::QStandardItem;
    bool operator<(const QStandardItem& other) const override
    {
        const QVariant mine = data(FleetSummaryWindow::SortRole);
        const QVariant theirs = other.data(FleetSummaryWindow::SortRole);
        if (mine.isValid() && theirs.isValid())
            return mine.toLongLong() < theirs.toLongLong();
        if (mine.isValid() == theirs.isValid())
            return false;
        // A descending sort puts a before b when b < a.
        const auto* machines = dynamic_cast<const MachinesModel*>(model());
        const bool descending = machines && machines->order() == Qt::DescendingOrder;
        return descending ? !mine.isValid() : !theirs.isValid();
    }
};

QLabel* heading(const QString& caption, const char* name, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A serial as the table shows it: at most kSerialShown characters, then "…".
QString shortened(const QString& serial)
{
    if (serial.size() <= qsizetype(kestrava::kSerialShown))
        return serial;
    return serial.left(qsizetype(kestrava::kSerialShown)) + QChar(0x2026);
}

QListWidget* list(const char* name, QWidget* parent)
{
    auto* widget = new QListWidget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

FleetSummaryWindow::FleetSummaryWindow(kestrava::FleetSummary summary, kestrava::Language language,
                                       UserDialogs* dialogs, QString saveFolder, QWidget* parent)
    : QDialog(parent), summary_(std::move(summary)), language_(language), dialogs_(dialogs),
      saveFolder_(std::move(saveFolder))
{
    setObjectName(QStringLiteral("FleetSummaryWindow"));
    setWindowTitle(tr("Fleet Summary"));
    resize(1100, 660);

    Machines_Model = new MachinesModel(this);
    Machines_Model->setSortRole(SortRole);
    Table_Machines = new QTableView(this);
    Table_Machines->setObjectName(QStringLiteral("Table_Machines"));
    Table_Machines->setModel(Machines_Model);
    Table_Machines->setSortingEnabled(true);
    Table_Machines->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_Machines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_Machines->verticalHeader()->hide();
    connect(Table_Machines, &QTableView::doubleClicked, this,
            &FleetSummaryWindow::Table_Machines_DoubleClick);
    connect(Table_Machines, &QTableView::activated, this,
            &FleetSummaryWindow::Table_Machines_DoubleClick);

    Chart_Shares = new BarChartView(this);
    Chart_Shares->setObjectName(QStringLiteral("Chart_Shares"));
    auto* chartArea = new QScrollArea(this);
    chartArea->setWidgetResizable(true);
    chartArea->setWidget(Chart_Shares);

    auto* top = new QSplitter(Qt::Horizontal, this);
    top->addWidget(Table_Machines);
    top->addWidget(chartArea);
    chartArea->setMinimumWidth(260);
    top->setSizes({780, 320});

    Label_Files =
        heading(tr("Files of the machine (double-click one to open it):"), "Label_Files", this);
    List_Files = list("List_Files", this);
    connect(List_Files, &QListWidget::itemDoubleClicked, this,
            &FleetSummaryWindow::List_Files_DoubleClick);
    connect(List_Files, &QListWidget::itemActivated, this,
            &FleetSummaryWindow::List_Files_DoubleClick);
    Label_Unread = heading(tr("Files not read:"), "Label_Unread", this);
    List_Unread = list("List_Unread", this);

    Command_SaveCsv = new QPushButton(tr("Save as CSV"), this);
    Command_SaveCsv->setObjectName(QStringLiteral("Command_SaveCsv"));
    connect(Command_SaveCsv, &QPushButton::clicked, this,
            &FleetSummaryWindow::Command_SaveCsv_Click);
    Command_Close = new QPushButton(tr("Close Form"), this);
    Command_Close->setObjectName(QStringLiteral("Command_Close"));
    connect(Command_Close, &QPushButton::clicked, this, &QDialog::close);

    auto* lists = new QHBoxLayout;
    for (auto [label, widget] :
         {std::pair{Label_Files, List_Files}, std::pair{Label_Unread, List_Unread}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(label);
        column->addWidget(widget);
        lists->addLayout(column);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command_SaveCsv);
    buttons->addStretch();
    buttons->addWidget(Command_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top, 3);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    fillTable();
    fillChart();
    fillUnread();
    fitTable(top);
}

void FleetSummaryWindow::fitTable(QSplitter* top)
{
    // Wide enough for every column of the table beside the chart, as far as the screen
    // allows; what does not fit is reached with the scroll bar.
    const int table = Table_Machines->horizontalHeader()->length() +
                      2 * Table_Machines->frameWidth() +
                      Table_Machines->verticalScrollBar()->sizeHint().width();
    const int chart = 280;
    const QMargins margins = layout()->contentsMargins();
    const int around = margins.left() + margins.right() + top->handleWidth();
    const int wanted = table + chart + around;
    int room = wanted;
    if (const QScreen* screen = this->screen())
        room = screen->availableGeometry().width() * 9 / 10;
    const int fitted = std::max(width(), std::min(wanted, room));
    if (fitted == width())
        return;
    resize(fitted, height());
    top->setSizes({fitted - around - chart, chart});
}

QString FleetSummaryWindow::text(const std::string& bytes) const
{
    return fromCodePage(QByteArray::fromStdString(bytes), language_);
}

void FleetSummaryWindow::fillTable()
{
    Machines_Model->setHorizontalHeaderLabels({tr("Serial number"), tr("Family"), tr("Files"),
                                               tr("Records"), tr("First record"), tr("Last record"),
                                               tr("Not E00"), tr("Error codes")});
    const auto dayNumber = [](const std::optional<kestrava::Day>& day) {
        return day ? QVariant(qlonglong(day->time_since_epoch().count())) : QVariant();
    };
    for (std::size_t i = 0; i < summary_.machines.size(); ++i) {
        const kestrava::MachineSummary& machine = summary_.machines[i];
        std::vector<std::string> cells = kestrava::fleetRow(machine, {});
        cells.push_back(kestrava::fleetErrorsText(machine));
        cells[0].clear();  // shown shortened below: a long serial costs its length once
        const QString serial = shortened(text(machine.serial));
        const QVariant sortValues[] = {serial,
                                       QString::fromStdString(cells[1]),
                                       qulonglong(machine.files),
                                       qulonglong(machine.records),
                                       dayNumber(machine.first),
                                       dayNumber(machine.last),
                                       machine.faultShare(),
                                       text(cells[7])};
        QList<QStandardItem*> row;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const bool day = column == 4 || column == 5;
            auto* item = column == 0 ? new QStandardItem(serial)
                         : day       ? new DayItem(text(cells[column]))
                                     : new QStandardItem(text(cells[column]));
            item->setData(sortValues[column], SortRole);
            item->setData(qulonglong(i), kMachineRole);
            if (day || sortValues[column].typeId() != QMetaType::QString)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column + 1 == cells.size()) {
                // A code and its count stay on one line when the column wraps.
                item->setText(item->text()
                                  .replace(QLatin1Char(' '), QChar(0x00A0))
                                  .replace(QStringLiteral(";\u00A0"), QStringLiteral("; ")));
                item->setToolTip(item->text());  // the error codes, whole
            }
            row.append(item);
        }
        Machines_Model->appendRow(row);
    }
    Table_Machines->resizeColumnsToContents();
    // The error codes of a machine with many of them wrap within the column rather than
    // run past the window's edge (rows measured while there are few enough to be quick;
    // the tooltip holds the whole text in any case).
    const int codes = Machines_Model->columnCount() - 1;
    constexpr int kCodesWidth = 260;
    if (Table_Machines->columnWidth(codes) > kCodesWidth) {
        Table_Machines->setColumnWidth(codes, kCodesWidth);
        Table_Machines->setWordWrap(true);
        if (Machines_Model->rowCount() <= 2000)
            Table_Machines->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
}

void FleetSummaryWindow::fillChart()
{
    // One row per machine, top to bottom in the table's first order, its share written
    // beside the bar as the table gives it.
    BarChartData data;
    data.title = tr("Not E00 (%)");
    data.bars = Qt::Horizontal;
    data.wholeNumbers = false;  // up to the highest share, so that small shares stay visible
    QSet<QString> seen;
    for (const kestrava::MachineSummary& machine : summary_.machines) {
        const QString family = QString::fromLatin1(kestrava::familyName(machine.family));
        QString serial = shortened(text(machine.serial));  // a long serial costs its length once
        if (serial.trimmed().isEmpty())
            serial = tr("(no number) %1").arg(family);
        else if (seen.contains(serial))  // the same number in both families: told apart
            serial += QStringLiteral(" (%1)").arg(family);
        seen.insert(serial);
        data.categories << serial;
        data.values << machine.faultShare() * 100.0;
        data.valueTexts << text(kestrava::fleetRow(machine, {})[6]);
    }
    // Every machine keeps a readable bar: a long fleet scrolls.
    const int rows = int(data.categories.size());
    Chart_Shares->setMinimumHeight(std::min(100000, 120 + 22 * rows));
    Chart_Shares->setData(std::move(data));
}

void FleetSummaryWindow::fillUnread()
{
    for (const kestrava::UnreadFile& file : summary_.unread) {
        const QString line = QStringLiteral("%1: %2").arg(visibleFileName(file.path),
                                                          unreadFileReason(file, language_));
        auto* item = new QListWidgetItem(line, List_Unread);
        item->setToolTip(line);
    }
    Label_Unread->setText(tr("Files not read: %1").arg(summary_.unread.size()));
    if (summary_.repeatedRecords > 0)
        Label_Unread->setText(Label_Unread->text() + QStringLiteral("; ") +
                              tr("repeated records left out: %1").arg(summary_.repeatedRecords));
}

void FleetSummaryWindow::Table_Machines_DoubleClick(const QModelIndex& index)
{
    const QVariant machine = index.data(kMachineRole);
    if (!machine.isValid() || machine.toULongLong() >= summary_.machines.size())
        return;
    List_Files->clear();
    for (const auto& path : summary_.machines[machine.toULongLong()].paths) {
        auto* item = new QListWidgetItem(visibleFileName(path), List_Files);
        item->setData(Qt::UserRole, fromFsPath(path));  // the name as the disk holds it
    }
}

void FleetSummaryWindow::List_Files_DoubleClick(QListWidgetItem* item)
{
    if (item)
        emit fileChosen(item->data(Qt::UserRole).toString());
}

void FleetSummaryWindow::Command_SaveCsv_Click()
{
    std::optional<QString> chosen =
        dialogs_->saveFileName(this, tr("Save as CSV"), tr("CSV file (*.csv)|*.csv"), saveFolder_,
                               tr("fleet-summary.csv"));
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");

    // UTF-8 with its byte order mark, which spreadsheet programs take as the sign of it;
    // the headings in the window's language, the cells as the table's, the serials whole.
    std::string csv = "\xEF\xBB\xBF";
    try {
        csv += csvText();
    } catch (const std::bad_alloc&) {
        dialogs_->message(this, tr("Not enough memory to finish the summary."), tr("Save Error"),
                          MessageIcon::Critical);
        return;
    }
    kestrava::fileio::AtomicWriter writer;
    kestrava::FileResult result = writer.open(toFsPath(path), /*replaceExisting=*/false);
    if (result)
        result = writer.write(csv.data(), csv.size());
    if (result)
        result = writer.commit();
    if (result)
        return;
    writer.abandon();
    if (result.fault == kestrava::FileFault::TargetExists) {
        dialogs_->message(this, tr("This file name already exists!"), tr("Save Error"),
                          MessageIcon::Exclamation);
        return;
    }
    QString detail = path;
    const std::string reason = kestrava::faultReasonText(result, language_);
    if (!reason.empty())
        detail += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(reason.c_str()));
    dialogs_->message(this, tr("Cannot write the file") + QStringLiteral("\n\n") + detail,
                      tr("Save Error"), MessageIcon::Critical);
}

std::string FleetSummaryWindow::csvText() const
{
    const std::vector<std::string> codes = kestrava::fleetErrorColumns(summary_);
    std::vector<std::string> headings;
    for (const QString& heading : {tr("Serial number"), tr("Family"), tr("Files"), tr("Records"),
                                   tr("First record"), tr("Last record"), tr("Not E00")})
        headings.push_back(heading.toStdString());
    headings.insert(headings.end(), codes.begin(), codes.end());
    std::string csv;
    kestrava::appendCsvRow(csv, headings, kestrava::CsvText::Utf8);
    for (const kestrava::MachineSummary& machine : summary_.machines) {
        std::vector<std::string> cells = kestrava::fleetRow(machine, codes);
        cells[0] = text(machine.serial).toStdString();
        kestrava::appendCsvRow(csv, cells, kestrava::CsvText::Utf8);
    }
    return csv;
}
