#include "gui/archive/archive_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "core/files/path_text.h"
#include "core/settings/regional.h"
#include "gui/archive/weld_table_model.h"
#include "gui/platform/fs_path.h"
#include "gui/reports/bar_chart.h"
#include "gui/services/user_dialogs.h"
#include "gui/services/work_runner.h"
#include "gui/view/code_page.h"

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QScrollArea* scrolled(QWidget* widget, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setWidget(widget);
    return area;
}

}  // namespace

ArchiveWindow::ArchiveWindow(std::filesystem::path archivePath, kestrava::Language language,
                             UserDialogs* dialogs, QString saveFolder, QWidget* parent)
    : QDialog(parent), language_(language), dialogs_(dialogs), saveFolder_(std::move(saveFolder))
{
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(tr("Weld Archive"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(1200, 760);
    runner_ = std::make_unique<WorkRunner>(this, QProgressDialog::tr("Cancel"));
    buildControls();
    // Shown first, then opened: the check of a large archive shows its progress over
    // the window.
    QTimer::singleShot(0, this, [this, archivePath] { openArchive(archivePath); });
    path_ = archivePath;
    Label_Archive->setText(QDir::toNativeSeparators(fromFsPath(path_)));
}

ArchiveWindow::~ArchiveWindow()
{
    // The table holds no statements between its fetches; it is let go of first.
    Table_Welds->setModel(nullptr);
}

bool ArchiveWindow::busy() const
{
    return runner_->busy();
}

void ArchiveWindow::buildControls()
{
    Label_Archive = named(new QLabel(this), "Label_Archive");
    Label_Archive->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Command_OpenArchive =
        named(new QPushButton(tr("Open Archive..."), this), "Command_OpenArchive");
    Command_ImportFiles =
        named(new QPushButton(tr("Import Files..."), this), "Command_ImportFiles");
    Command_ImportFolder =
        named(new QPushButton(tr("Import a Folder..."), this), "Command_ImportFolder");
    connect(Command_OpenArchive, &QPushButton::clicked, this,
            &ArchiveWindow::Command_OpenArchive_Click);
    connect(Command_ImportFiles, &QPushButton::clicked, this,
            &ArchiveWindow::Command_ImportFiles_Click);
    connect(Command_ImportFolder, &QPushButton::clicked, this,
            &ArchiveWindow::Command_ImportFolder_Click);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Archive:"), this));
    top->addWidget(Label_Archive, 1);
    top->addWidget(Command_OpenArchive);
    top->addWidget(Command_ImportFiles);
    top->addWidget(Command_ImportFolder);

    // The filters, at the left.
    List_Machines = named(new QListWidget(this), "List_Machines");
    List_Machines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Text_From = named(new QLineEdit(this), "Text_From");
    Text_To = named(new QLineEdit(this), "Text_To");
    Text_Error = named(new QLineEdit(this), "Text_Error");
    Text_Find = named(new QLineEdit(this), "Text_Find");
    Command_Apply = named(new QPushButton(tr("Show"), this), "Command_Apply");
    Command_Apply->setDefault(true);
    connect(Command_Apply, &QPushButton::clicked, this, &ArchiveWindow::Command_Apply_Click);
    for (QLineEdit* edit : {Text_From, Text_To, Text_Error, Text_Find})
        connect(edit, &QLineEdit::returnPressed, this, &ArchiveWindow::Command_Apply_Click);
    auto* filters = new QVBoxLayout;
    filters->addWidget(new QLabel(tr("Machines (none chosen: all):"), this));
    filters->addWidget(List_Machines, 1);
    auto* fields = new QFormLayout;
    fields->addRow(tr("From date:"), Text_From);
    fields->addRow(tr("To date:"), Text_To);
    fields->addRow(tr("Error codes:"), Text_Error);
    fields->addRow(tr("Text:"), Text_Find);
    filters->addLayout(fields);
    filters->addWidget(Command_Apply);
    auto* filterPanel = new QWidget(this);
    filterPanel->setLayout(filters);

    Welds_Model = new WeldTableModel(language_, this);
    Table_Welds = named(new QTableView(this), "Table_Welds");
    Table_Welds->setModel(Welds_Model);
    Table_Welds->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_Welds->setSelectionMode(QAbstractItemView::SingleSelection);
    Table_Welds->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_Welds->setWordWrap(false);
    Table_Welds->verticalHeader()->hide();
    Table_Welds->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table_Welds->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Table_Welds->horizontalHeader()->setSortIndicator(WeldTableModel::Date, Qt::AscendingOrder);
    Table_Welds->setSortingEnabled(true);
    Table_Welds->setColumnWidth(WeldTableModel::Record, 520);
    connect(Table_Welds, &QTableView::doubleClicked, this,
            &ArchiveWindow::Command_OpenDownload_Click);
    Label_Count = named(new QLabel(this), "Label_Count");
    auto* tableColumn = new QVBoxLayout;
    tableColumn->setContentsMargins(0, 0, 0, 0);
    tableColumn->addWidget(Table_Welds, 1);
    tableColumn->addWidget(Label_Count);
    auto* tablePanel = new QWidget(this);
    tablePanel->setLayout(tableColumn);

    Chart_Welds = named(new BarChartView(this), "Chart_Welds");
    Chart_Share = named(new BarChartView(this), "Chart_Share");
    auto* charts = new QSplitter(Qt::Vertical, this);
    charts->addWidget(scrolled(Chart_Welds, this));
    charts->addWidget(scrolled(Chart_Share, this));

    auto* middle = new QSplitter(Qt::Horizontal, this);
    middle->addWidget(filterPanel);
    middle->addWidget(tablePanel);
    middle->addWidget(charts);
    middle->setSizes({220, 640, 340});

    Command_OpenDownload =
        named(new QPushButton(tr("Open the Download"), this), "Command_OpenDownload");
    Command_SaveCsv = named(new QPushButton(tr("Save as CSV..."), this), "Command_SaveCsv");
    connect(Command_OpenDownload, &QPushButton::clicked, this,
            &ArchiveWindow::Command_OpenDownload_Click);
    connect(Command_SaveCsv, &QPushButton::clicked, this, &ArchiveWindow::Command_SaveCsv_Click);
#ifdef KESTRAVA_HAVE_XLSX
    Command_SaveXlsx =
        named(new QPushButton(tr("Save as Excel Workbook..."), this), "Command_SaveXlsx");
    connect(Command_SaveXlsx, &QPushButton::clicked, this, &ArchiveWindow::Command_SaveXlsx_Click);
#endif
    buildReportButtons();
    Command_Close = named(new QPushButton(tr("Close Form"), this), "Command_Close");
    connect(Command_Close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command_OpenDownload);
    buttons->addWidget(Command_SaveCsv);
    if (Command_SaveXlsx)
        buttons->addWidget(Command_SaveXlsx);
    buttons->addWidget(Command_Protocol);
    buttons->addWidget(Command_Handover);
    buttons->addStretch();
    buttons->addWidget(Command_Close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(middle, 1);
    layout->addLayout(buttons);
}

bool ArchiveWindow::runLong(const QString& label,
                            const std::function<void(const kestrava::Progress&)>& work)
{
    const bool ran = runner_->run(windowTitle(), label, work);
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
        return false;
    }
    return ran;
}

void ArchiveWindow::closeEvent(QCloseEvent* event)
{
    if (busy()) {
        // Closing during a run stops it; the window closes after it.
        runner_->cancel();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ArchiveWindow::showArchiveFault(const QString& text, const std::string& detail)
{
    dialogs_->message(this, text + QStringLiteral("\n\n") + QString::fromUtf8(detail.c_str()),
                      windowTitle(), MessageIcon::Exclamation);
}

void ArchiveWindow::openArchive(const std::filesystem::path& path)
{
    std::unique_ptr<kestrava::WeldArchive> opened;
    kestrava::ArchiveError error;
    // The table lets go of the archive it shows before another is opened.
    Welds_Model->show(nullptr, {});
    reader_.reset();
    const bool ran = runLong(tr("Opening the archive..."), [&](const kestrava::Progress&) {
        opened = std::make_unique<kestrava::WeldArchive>();
        error = opened->open(path, false);
    });
    path_ = path;
    Label_Archive->setText(QDir::toNativeSeparators(fromFsPath(path_)));
    if (!ran)
        return;
    if (error.ok())
        reader_ = std::move(opened);
    else if (error.fault != kestrava::ArchiveFault::Missing)  // an import makes it
        showArchiveFault(tr("The archive cannot be used."), error.text);
    fillMachines();
    showSelection();
}

void ArchiveWindow::fillMachines()
{
    List_Machines->clear();
    std::vector<kestrava::ArchivedMachine> machines;
    if (!reader_ || !reader_->machines(machines).ok())
        return;
    for (const kestrava::ArchivedMachine& machine : machines) {
        const QString serial = fromCodePage(QByteArray::fromStdString(machine.serial), language_);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 (%2, %3)")
                .arg(serial, QString::fromLatin1(kestrava::familyName(machine.family)))
                .arg(qulonglong(machine.welds)),
            List_Machines);
        item->setData(Qt::UserRole, QByteArray::fromStdString(machine.serial));
    }
}

std::optional<kestrava::ArchiveQuery> ArchiveWindow::queryOfFilters()
{
    kestrava::ArchiveQuery query;
    for (const QListWidgetItem* item : List_Machines->selectedItems())
        query.machines.push_back(item->data(Qt::UserRole).toByteArray().toStdString());
    const auto date = [this](QLineEdit* edit, std::optional<kestrava::Day>& day,
                             const QString& invalid) {
        const QString typed = edit->text().trimmed();
        if (typed.isEmpty())
            return true;
        day = kestrava::parseTypedDate(typed.toStdString(), kestrava::currentLocalYear());
        if (!day) {
            dialogs_->message(this, invalid, windowTitle(), MessageIcon::Exclamation);
            edit->setFocus();
        }
        return day.has_value();
    };
    if (!date(Text_From, query.from, tr("Invalid From Date")) ||
        !date(Text_To, query.to, tr("Invalid To Date")))
        return std::nullopt;
    const QStringList numbers = Text_Error->text().split(
        QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
    for (const QString& number : numbers) {
        const auto error = kestrava::errorNumberFromText(number.toStdString(), language_);
        if (!error) {
            dialogs_->message(this, tr("Invalid error code"), windowTitle(),
                              MessageIcon::Exclamation);
            Text_Error->setFocus();
            return std::nullopt;
        }
        query.errors.push_back(*error);
    }
    query.text = toCodePage(Text_Find->text(), language_).toStdString();
    return query;
}

void ArchiveWindow::Command_Apply_Click()
{
    if (!busy())
        showSelection();
}

void ArchiveWindow::showSelection()
{
    const std::optional<kestrava::ArchiveQuery> query = queryOfFilters();
    if (!query)
        return;
    std::vector<kestrava::MonthCount> months;
    if (reader_) {
        if (const kestrava::ArchiveError error = reader_->monthCounts(*query, months); !error.ok())
            showArchiveFault(tr("The archive cannot be read."), error.text);
    }
    Welds_Model->show(reader_.get(), *query);
    if (!Welds_Model->failure().empty())
        showArchiveFault(tr("The archive cannot be read."), Welds_Model->failure());
    std::uint64_t welds = 0;
    for (const kestrava::MonthCount& month : months)
        welds += month.count;
    Label_Count->setText(reader_ ? tr("Welds selected: %1").arg(qulonglong(welds))
                                 : tr("No archive here yet: import downloads to make it."));
    fillCharts(months);
}

void ArchiveWindow::fillCharts(const std::vector<kestrava::MonthCount>& months)
{
    BarChartData welds;
    welds.title = tr("Welds per month");
    BarChartData share;
    share.title = tr("Not E00 per month (%)");
    share.wholeNumbers = false;
    for (const kestrava::MonthCount& month : months) {
        const QString name =
            month.year == 0
                ? tr("no date")
                : QStringLiteral("%1/%2").arg(month.month, 2, 10, QLatin1Char('0')).arg(month.year);
        welds.categories << name;
        welds.values << double(month.count);
        share.categories << name;
        const double percent =
            month.count ? 100.0 * double(month.notE00) / double(month.count) : 0.0;
        share.values << percent;
        share.valueTexts << QStringLiteral("%1%").arg(percent, 0, 'f', 1);
    }
    // Every month keeps a readable bar and its name whole: a long selection scrolls.
    const int slot = std::max(34, fontMetrics().horizontalAdvance(QStringLiteral("00/0000")) + 12);
    const int width = std::min(100000, 120 + slot * int(months.size()));
    Chart_Welds->setMinimumWidth(width);
    Chart_Share->setMinimumWidth(width);
    Chart_Welds->setData(std::move(welds));
    Chart_Share->setData(std::move(share));
}

void ArchiveWindow::Command_OpenDownload_Click()
{
    if (busy() || !reader_)
        return;
    const QModelIndexList rows = Table_Welds->selectionModel()->selectedRows();
    const kestrava::StoredWeld* weld =
        rows.isEmpty() ? nullptr : Welds_Model->weld(rows.front().row());
    if (!weld) {
        dialogs_->message(this, tr("Choose a weld in the table first."), windowTitle(),
                          MessageIcon::Information);
        return;
    }
    std::vector<kestrava::ArchivedDownload> files;
    if (const kestrava::ArchiveError error = reader_->filesOf(weld->id, files); !error.ok()) {
        showArchiveFault(tr("The archive cannot be read."), error.text);
        return;
    }
    if (!files.empty())
        emit fileChosen(fromFsPath(kestrava::pathFromUtf8(files.front().name)));
}

void ArchiveWindow::Command_OpenArchive_Click()
{
    if (busy())
        return;
    const std::optional<QString> chosen = dialogs_->openFileName(
        this, tr("Open Archive"), tr("Weld archive (*.sqlite)|*.sqlite|All files (*.*)|*.*"),
        fromFsPath(path_.parent_path()));
    if (chosen && !chosen->isEmpty())
        openArchive(toFsPath(*chosen));
}
