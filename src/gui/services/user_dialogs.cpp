#include "gui/services/user_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <algorithm>

QString qtFilterFromPairs(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString pattern =
            QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; add them when the description lacks them.
        entries << (description.contains(QLatin1Char('('))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return entries.join(QStringLiteral(";;"));
}

namespace {

// Icons and type names by a file's name alone. The dialog's own would read a file's
// first bytes to guess its type: on a FIFO or a device (/proc/kmsg) that read never
// ends, and the dialog with it.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isRoot())
            return icon(Drive);
        return icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isRoot() || info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase()
            .mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension)
            .comment();
    }
};

// The file dialogs of the program, which never read the files they show.
QStringList runFileDialog(QWidget* parent, const QString& title, const QString& start,
                          QFileDialog::FileMode mode, const QString& filter = {},
                          QString* selectedFilter = nullptr)
{
    static NameOnlyIconProvider icons;
    QFileDialog dialog(parent, title, start, filter);
    dialog.setIconProvider(&icons);
    dialog.setFileMode(mode);
    if (mode == QFileDialog::AnyFile) {
        // The name is used exactly as chosen: no default suffix, no overwrite prompt
        // (the Save command itself refuses to replace an existing file).
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles();
}

}  // namespace

int QtUserDialogs::message(QWidget* parent, const QString& text, const QString& title,
                           MessageIcon icon)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: qtIcon = QMessageBox::NoIcon; break;
    case MessageIcon::Exclamation: qtIcon = QMessageBox::Warning; break;
    case MessageIcon::Critical: qtIcon = QMessageBox::Critical; break;
    case MessageIcon::Information: qtIcon = QMessageBox::Information; break;
    }
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
    return 1;  // OK is the only answer
}

bool QtUserDialogs::ask(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::openFileName(QWidget* parent, const QString& title,
                                                   const QString& filter,
                                                   const QString& initialFolder)
{
    const QStringList chosen = runFileDialog(parent, title, initialFolder,
                                             QFileDialog::ExistingFile, qtFilterFromPairs(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.constFirst());
}

std::optional<QStringList> QtUserDialogs::openFileNames(QWidget* parent, const QString& title,
                                                        const QString& filter,
                                                        const QString& initialFolder)
{
    QStringList chosen = runFileDialog(parent, title, initialFolder, QFileDialog::ExistingFiles,
                                       qtFilterFromPairs(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    for (QString& name : chosen)
        name = QDir::toNativeSeparators(name);
    return chosen;
}

std::optional<QString> QtUserDialogs::folderName(QWidget* parent, const QString& title,
                                                 const QString& initialFolder)
{
    const QStringList chosen = runFileDialog(parent, title, initialFolder, QFileDialog::Directory);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.constFirst());
}

std::optional<QString> QtUserDialogs::saveFileName(QWidget* parent, const QString& title,
                                                   const QString& filter,
                                                   const QString& initialFolder,
                                                   const QString& proposedName, int* chosenType)
{
    const QString start =
        initialFolder.isEmpty() ? proposedName : QDir(initialFolder).filePath(proposedName);
    const QString qtFilter = qtFilterFromPairs(filter);
    QString selected;
    const QStringList chosen =
        runFileDialog(parent, title, start, QFileDialog::AnyFile, qtFilter, &selected);
    if (chosen.isEmpty())
        return std::nullopt;
    if (chosenType)
        *chosenType = std::max<int>(0, int(qtFilter.split(QStringLiteral(";;")).indexOf(selected)));
    return QDir::toNativeSeparators(chosen.constFirst());
}

bool QtUserDialogs::choosePrinter(QWidget* parent, QPrinter* printer, const QString& title)
{
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}
