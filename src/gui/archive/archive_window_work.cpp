// The archive window's long work: import, and the selection saved as CSV or xlsx.
#include <QDir>

#include "core/files/file_io.h"
#include "core/files/system_error_text.h"
#include "gui/app/file_reasons.h"
#include "gui/archive/archive_window.h"
#include "gui/archive/weld_table_model.h"
#include "gui/platform/fs_path.h"
#include "gui/services/user_dialogs.h"
#ifdef KESTRAVA_HAVE_XLSX
#include "core/archive/archive_xlsx.h"
#endif

void ArchiveWindow::Command_ImportFiles_Click()
{
    if (busy())
        return;
    const std::optional<QStringList> chosen = dialogs_->openFileNames(
        this, tr("Import Files"),
        tr("Download files (*.xls *.pfd)|*.xls;*.pfd|All files (*.*)|*.*"), saveFolder_);
    if (!chosen || chosen->isEmpty())
        return;
    std::vector<std::filesystem::path> paths;
    for (const QString& name : *chosen)
        paths.push_back(toFsPath(name));
    importPaths(paths);
}

void ArchiveWindow::Command_ImportFolder_Click()
{
    if (busy())
        return;
    const std::optional<QString> chosen =
        dialogs_->folderName(this, tr("Import a Folder"), saveFolder_);
    if (chosen && !chosen->isEmpty())
        importPaths({toFsPath(*chosen)});
}

void ArchiveWindow::importPaths(const std::vector<std::filesystem::path>& paths)
{
    // A connection of its own writes, on the runner's thread; the table's reads on
    // this one see the archive as it was until the import ends.
    kestrava::ImportReport report;
    kestrava::ArchiveError opened;
    const std::filesystem::path path = path_;
    const bool ran =
        runLong(tr("Importing the downloads..."), [&](const kestrava::Progress& progress) {
            kestrava::WeldArchive writer;
            opened = writer.open(path, true);
            if (opened.ok())
                report = writer.import(paths, progress);
        });
    if (!opened.ok()) {
        showArchiveFault(tr("The archive cannot be used."), opened.text);
        return;
    }
    if (!ran && !report.cancelled)
        return;  // the window is closing

    QStringList lines;
    if (report.cancelled)
        lines << tr("The import was cancelled: the files finished before are kept.");
    lines << tr("Files added: %1").arg(qulonglong(report.filesAdded))
          << tr("Welds added: %1").arg(qulonglong(report.weldsAdded))
          << tr("Welds already there: %1").arg(qulonglong(report.weldsKnown))
          << tr("Files not added: %1").arg(qulonglong(report.files.size() - report.filesAdded));
    for (const kestrava::ImportedFile& file : report.files) {
        if (file.outcome != kestrava::ImportedFile::Outcome::Added)
            lines << QStringLiteral("%1: %2").arg(visibleFileName(file.path),
                                                  file.why.path.empty()
                                                      ? QString::fromUtf8(file.reason.c_str())
                                                      : unreadFileReason(file.why, language_));
    }
    if (!report.error.ok())
        lines << QString::fromUtf8(report.error.text.c_str());
    lastReport_ = lines.join(QLatin1Char('\n'));
    openArchive(path);
    dialogs_->message(this, lastReport_, windowTitle(),
                      report.error.ok() ? MessageIcon::Information : MessageIcon::Exclamation);
}

QString ArchiveWindow::chooseTarget(const QString& title, const QString& filter,
                                    const QString& name, const QString& extension)
{
    const std::optional<QString> chosen =
        dialogs_->saveFileName(this, title, filter, saveFolder_, name);
    if (!chosen || chosen->isEmpty())
        return {};
    QString path = *chosen;
    if (!path.endsWith(extension, Qt::CaseInsensitive))
        path += extension;
    return path;
}

void ArchiveWindow::showSaveFault(const kestrava::FileResult& result, const QString& path)
{
    if (result.fault == kestrava::FileFault::Cancelled)
        return;
    if (result.fault == kestrava::FileFault::TargetExists) {
        dialogs_->message(this, tr("This file name already exists!"), tr("Save Error"),
                          MessageIcon::Exclamation);
        return;
    }
    QString detail = QDir::toNativeSeparators(path);
    const std::string reason = kestrava::faultReasonText(result, language_);
    if (!reason.empty())
        detail += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(reason.c_str()));
    dialogs_->message(this, tr("Cannot write the file") + QStringLiteral("\n\n") + detail,
                      tr("Save Error"), MessageIcon::Critical);
}

void ArchiveWindow::Command_SaveCsv_Click()
{
    if (busy() || !reader_)
        return;
    const QString path = chooseTarget(tr("Save as CSV"), tr("CSV file (*.csv)|*.csv"),
                                      tr("welds.csv"), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    const kestrava::ArchiveQuery query = Welds_Model->query();
    kestrava::fileio::AtomicWriter writer;
    kestrava::FileResult written;
    kestrava::ArchiveError read;
    runLong(tr("Saving the welds..."), [&](const kestrava::Progress& progress) {
        written = writer.open(toFsPath(path), /*replaceExisting=*/false);
        if (!written)
            return;
        read = reader_->csv(query, [&](std::string_view bytes) {
            if (!progress(0, 0)) {
                written.fault = kestrava::FileFault::Cancelled;
                return false;
            }
            written = writer.write(bytes.data(), bytes.size());
            return written.ok();
        });
        if (written && read.ok())
            written = writer.commit();
        if (!written || !read.ok())
            writer.abandon();
    });
    if (!written.ok())
        showSaveFault(written, path);
    else if (!read.ok())
        showArchiveFault(tr("The archive cannot be read."), read.text);
}

void ArchiveWindow::Command_SaveXlsx_Click()
{
#ifdef KESTRAVA_HAVE_XLSX
    if (busy() || !reader_)
        return;
    const QString path =
        chooseTarget(tr("Save as Excel Workbook"), tr("Excel workbook (*.xlsx)|*.xlsx"),
                     tr("welds.xlsx"), QStringLiteral(".xlsx"));
    if (path.isEmpty())
        return;
    const kestrava::ArchiveQuery query = Welds_Model->query();
    kestrava::XlsxResult result;
    runLong(tr("Saving the welds..."), [&](const kestrava::Progress& progress) {
        result =
            kestrava::writeArchiveXlsx(*reader_, query, toFsPath(path), /*replaceExisting=*/false,
                                       language_, [&] { return progress(0, 0); });
    });
    if (!result.file.ok())
        showSaveFault(result.file, path);
    else if (!result.archive.ok())
        showArchiveFault(tr("The archive cannot be read."), result.archive.text);
#endif
}
