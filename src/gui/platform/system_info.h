// Starting the desktop's system-information program from the about box.
//
// On Windows the program is found through two registry entries (read by GetKeyValue
// through the RegistryAccess interface, which tests replace with a fake); on other
// systems it is the first known system-information program on the PATH.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "registry/registry_access.h"

class SystemInfoLauncher {
public:
    virtual ~SystemInfoLauncher() = default;
    // Finds and starts the program in a normal window. false when no program was
    // found or it could not be started.
    virtual bool start() = 0;
};

// The real one for this platform.
class DesktopSystemInfoLauncher final : public SystemInfoLauncher {
public:
    bool start() override;
};

// Starts program, without arguments, in a normal window of its own. false for an empty
// path or a program that cannot be started.
bool startProgramDetached(const QString& program);

// The registry's way: the program path of entry 1 when it exists (even when it names
// nothing that can start), else the folder of entry 2 followed by "\MSINFO32.EXE" when
// that file exists. Returns whether startProgram succeeded.
bool startSystemInfoFromRegistry(RegistryAccess& registry,
                                 const std::function<bool(const QString&)>& fileExists,
                                 const std::function<bool(const QString&)>& startProgram);

// ---- Other desktops -----------------------------------------------------------------

// Known system-information programs, most suitable first.
QStringList systemInfoProgramNames();

// The full path of the first of names found as an executable file in the folders of
// pathVariable (separated by separator), or an empty text. Empty folder entries are
// skipped rather than read as the current folder.
QString findSystemInfoProgram(const QString& pathVariable, QChar separator,
                              const std::function<bool(const QString&)>& isExecutableFile,
                              const QStringList& names = systemInfoProgramNames());
