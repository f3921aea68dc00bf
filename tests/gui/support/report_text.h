// The text of a weld protocol or handover report PDF (read with pdftotext) and of the
// rows kestrava-cli writes for it, in forms the two can be compared in.
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "gui/view/code_page.h"

// The PDF's text laid out as printed, one string per page.
inline QStringList pdfPages(const QString& path)
{
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

#ifdef KESTRAVA_CLI_PATH
// What kestrava-cli writes with arguments ("protocol FILE", "archive protocol ..."), in
// the code page of the window's language.
inline QString cliRows(const QStringList& arguments, kestrava::Language language)
{
    QProcess run;
    run.start(QStringLiteral(KESTRAVA_CLI_PATH), arguments);
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return {};
    return fromCodePage(run.readAllStandardOutput(), language);
}
#endif

// The protocol blocks the rows describe, each as the lines the page shows.
inline QList<QStringList> expectedBlocks(const QString& rows)
{
    QList<QStringList> blocks;
    for (const QString& row : rows.split(QLatin1Char('\n'))) {
        const QStringList cells = row.split(QLatin1Char('\t'));
        const QString& kind = cells[0];
        if (kind == QLatin1String("protocol"))
            blocks.append({QStringLiteral("Weld protocol no. ") + cells[1]});
        else if (blocks.isEmpty())
            continue;  // the report's cover and table
        else if (kind == QLatin1String("download"))
            blocks.last() << QStringLiteral("Download ") + cells[1];
        else if (kind == QLatin1String("machine"))
            blocks.last() << QStringLiteral("Machine %1 (%2)").arg(cells[1], cells[2]);
        else if (kind == QLatin1String("date"))
            blocks.last()
                << QStringLiteral("Date and time %1 %2").arg(cells[1], cells[2]).simplified();
        else if (kind == QLatin1String("error"))
            blocks.last() << QStringLiteral("Error %1 \u2014 %2").arg(cells[1], cells[2]);
        else if (kind == QLatin1String("field"))
            blocks.last() << (cells[1] + QLatin1Char(' ') + cells[2]).simplified();
    }
    return blocks;
}

// The protocol blocks of the PDF, without the page headers.
inline QList<QStringList> pdfBlocks(const QStringList& pages)
{
    QList<QStringList> blocks;
    for (const QString& page : pages) {
        const QStringList lines = page.split(QLatin1Char('\n'));
        for (qsizetype k = 2; k < lines.size(); ++k) {  // two lines of page header
            const QString line = lines[k].simplified();
            if (line.startsWith(QLatin1String("Weld protocol no. ")))
                blocks.append({line});
            else if (!line.isEmpty() && !blocks.isEmpty())
                blocks.last() << line;
        }
    }
    return blocks;
}

// "Page k of N" (or its Polish) on each page k, N the pages there are.
inline bool numberedPages(const QStringList& pages, const QString& pattern, int first = 1,
                          int total = 0)
{
    for (qsizetype k = 0; k < pages.size(); ++k) {
        const QString expected = pattern.arg(first + k).arg(total ? total : pages.size());
        if (!pages[k].section(QLatin1Char('\n'), 0, 1).simplified().endsWith(expected))
            return false;
    }
    return !pages.isEmpty();
}
