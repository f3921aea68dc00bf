#include "gui/app/file_reasons.h"

#include <QCoreApplication>

QString notListedReason(NotListedWhy why)
{
    switch (why) {
    case NotListedWhy::Empty:
        return QCoreApplication::translate("FileReasons", "not a weld record file: the file is empty");
    case NotListedWhy::UnknownHeader:
        return QCoreApplication::translate(
            "FileReasons", "not a weld record file: the first line does not start with a known column name");
    case NotListedWhy::NoDateField:
        return QCoreApplication::translate(
            "FileReasons", "not a weld record file: the first record has no date in field 3 or 4");
    }
    return {};
}

QString notListedSentence(NotListedWhy why)
{
    QString text = notListedReason(why);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}
