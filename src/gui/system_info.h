// Starting the desktop's system-information program from the about box.
//
// On Windows the program is found through two registry entries (read by GetKeyValue
// through the RegistryAccess interface, which tests replace with a fake); on other
// systems it is the first known system-information program on the PATH.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// ---- Registry reading ---------------------------------------------------------------

enum class RegistryRoot { LocalMachine };

// The three registry calls GetKeyValue makes, on text in the ANSI code page.
class RegistryAccess {
public:
    using Key = std::uintptr_t;
    virtual ~RegistryAccess() = default;
    // Opens keyPath with read access only; nullopt when it cannot be opened.
    virtual std::optional<Key> openForReading(RegistryRoot root, const std::string& keyPath) = 0;
    // Reads the value into buffer, whose capacity is size on entry. On success size holds
    // the data size and type the value type. false when the value is missing or its
    // data do not fit.
    virtual bool queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* buffer, std::uint32_t& size) = 0;
    virtual void close(Key key) = 0;
};

inline constexpr std::uint32_t kRegistryText = 1;     // REG_SZ
inline constexpr std::uint32_t kRegistryNumber = 4;   // REG_DWORD
inline constexpr std::uint32_t kRegistryBufferSize = 1024;

// Reads one registry value as text. Text values lose one terminating NUL; a 32-bit
// number gives its decimal value; a value of any other type leaves result as passed
// and still counts as read. A key or value that cannot be read empties result and
// gives false.
bool GetKeyValue(RegistryAccess& registry, RegistryRoot root, const std::string& keyPath,
                 const std::string& valueName, std::string& result);

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
