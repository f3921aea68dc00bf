#include "gui/platform/system_info.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// Where the system-information program is registered (both under HKEY_LOCAL_MACHINE).
const char* const kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kProgramValue = "PATH";
const char* const kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kFolderValue = "MSINFO";
const char* const kProgramFile = "\\MSINFO32.EXE";

}  // namespace

bool startProgramDetached(const QString& program)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {});
}

bool startSystemInfoFromRegistry(RegistryAccess& registry,
                                 const std::function<bool(const QString&)>& fileExists,
                                 const std::function<bool(const QString&)>& startProgram)
{
    std::string text;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine, kProgramKey, kProgramValue, text))
        return startProgram(QString::fromLocal8Bit(text));
    if (!GetKeyValue(registry, RegistryRoot::LocalMachine, kFolderKey, kFolderValue, text))
        return false;
    const QString program = QString::fromLocal8Bit(text + kProgramFile);
    if (!fileExists(program))
        return false;
    return startProgram(program);
}

QStringList systemInfoProgramNames()
{
    return {QStringLiteral("hardinfo"),
            QStringLiteral("hardinfo2"),
            QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager")};
}

QString findSystemInfoProgram(const QString& pathVariable, QChar separator,
                              const std::function<bool(const QString&)>& isExecutableFile,
                              const QStringList& names)
{
    const QStringList folders = pathVariable.split(separator, Qt::SkipEmptyParts);
    for (const QString& name : names) {
        for (const QString& folder : folders) {
            const QString candidate = QDir(folder).filePath(name);
            if (isExecutableFile(candidate))
                return candidate;
        }
    }
    return {};
}

bool DesktopSystemInfoLauncher::start()
{
#ifdef _WIN32
    const std::unique_ptr<RegistryAccess> registry = systemRegistry();
    return startSystemInfoFromRegistry(
        *registry, [](const QString& path) { return QFileInfo(path).isFile(); },
        startProgramDetached);
#else
    const QString program = findSystemInfoProgram(qEnvironmentVariable("PATH"),
                                                  QDir::listSeparator(), [](const QString& path) {
                                                      const QFileInfo info(path);
                                                      return info.isFile() && info.isExecutable();
                                                  });
    return startProgramDetached(program);
#endif
}
