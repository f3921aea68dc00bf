#include "gui/services/user_dialogs.h"

#include <QDir>
#include <QFileDialog>
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
        const QString description = parts.at(i);
        const QString pattern = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; add them when the description lacks them.
        entries << (description.contains(QLatin1Char('('))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return entries.join(QStringLiteral(";;"));
}

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
    const QString chosen = QFileDialog::getOpenFileName(parent, title, initialFolder,
                                                        qtFilterFromPairs(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> QtUserDialogs::folderName(QWidget* parent, const QString& title,
                                                 const QString& initialFolder)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, initialFolder);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> QtUserDialogs::saveFileName(QWidget* parent, const QString& title,
                                                   const QString& filter,
                                                   const QString& initialFolder,
                                                   const QString& proposedName,
                                                   int* chosenType)
{
    const QString start = initialFolder.isEmpty()
                              ? proposedName
                              : QDir(initialFolder).filePath(proposedName);
    // The name is used exactly as chosen: no default suffix, no overwrite prompt
    // (the Save command itself refuses to replace an existing file).
    const QString qtFilter = qtFilterFromPairs(filter);
    QString selected;
    const QString chosen = QFileDialog::getSaveFileName(parent, title, start, qtFilter, &selected,
                                                        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return std::nullopt;
    if (chosenType)
        *chosenType = std::max<int>(0, int(qtFilter.split(QStringLiteral(";;")).indexOf(selected)));
    return QDir::toNativeSeparators(chosen);
}

bool QtUserDialogs::choosePrinter(QWidget* parent, QPrinter* printer, const QString& title)
{
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}
