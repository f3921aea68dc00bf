#include "gui/app/file_reasons.h"

#include <QCoreApplication>
#include <QDir>
#include <string>

#include "core/files/system_error_text.h"
#include "gui/platform/fs_path.h"

QString notListedReason(NotListedWhy why)
{
    switch (why) {
    case NotListedWhy::Empty:
        return QCoreApplication::translate("FileReasons",
                                           "not a weld record file: the file is empty");
    case NotListedWhy::UnknownHeader:
        return QCoreApplication::translate(
            "FileReasons",
            "not a weld record file: the first line does not start with a known column name");
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

QString visibleFileName(const std::filesystem::path& path)
{
    QString name = QDir::toNativeSeparators(fromFsPath(path));
    for (QChar& c : name) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
        else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            c = QChar(QChar::ReplacementCharacter);
    }
    return name;
}

QString unreadFileReason(const kestrava::UnreadFile& file, kestrava::Language language)
{
    using Why = kestrava::UnreadFile::Why;
    QString reason;
    switch (file.why) {
    case Why::NotFound:
        reason = QCoreApplication::translate("FileReasons", "not a file or folder");
        break;
    case Why::FolderCut:
        reason = QCoreApplication::translate("FileReasons",
                                             "the folder could not be searched to its end");
        break;
    case Why::NoDateField: return notListedReason(NotListedWhy::NoDateField);
    case Why::UnknownHeader: {
        std::error_code error;
        return notListedReason(std::filesystem::file_size(file.path, error) == 0 && !error
                                   ? NotListedWhy::Empty
                                   : NotListedWhy::UnknownHeader);
    }
    case Why::NotRegular:
        return QCoreApplication::translate("FileReasons",
                                           "not a regular file (a FIFO, device or socket)");
    case Why::SameFile:
        return file.original.empty()
                   ? QCoreApplication::translate("FileReasons", "given more than once")
                   : QCoreApplication::translate("FileReasons", "the same file as %1")
                         .arg(visibleFileName(file.original));
    case Why::NotDownloadName:
        return QCoreApplication::translate("FileReasons",
                                           "not a download file: the name must end in xls or pfd");
    case Why::SameDownload:
        return QCoreApplication::translate("FileReasons", "the same download as %1")
            .arg(visibleFileName(file.original));
    case Why::FileFault:
        switch (file.fault.fault) {
        case kestrava::FileFault::OutOfMemory:
            return QCoreApplication::translate("FileReasons",
                                               "not enough memory to read this file");
        case kestrava::FileFault::SourceChanged:
            return QCoreApplication::translate("FileReasons", "the file changed while it was read");
        case kestrava::FileFault::LineTooLong:
            return QCoreApplication::translate("FileReasons", "line %1 is too long to list")
                .arg(qulonglong(file.fault.line));
        default: reason = QCoreApplication::translate("FileReasons", "cannot be read");
        }
        break;
    }
    const std::string system = kestrava::faultReasonText(file.fault, language);
    if (!system.empty())
        reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(system.c_str()));
    return reason;
}
