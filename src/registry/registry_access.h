// Reading the Windows registry, behind an interface that tests replace with a fake.
// Standard library only, so that it builds without Qt.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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

inline constexpr std::uint32_t kRegistryText = 1;  // REG_SZ
inline constexpr std::uint32_t kRegistryNumber = 4;  // REG_DWORD
inline constexpr std::uint32_t kRegistryBufferSize = 1024;

// Reads one registry value as text. Text values lose one terminating NUL; a 32-bit
// number gives its decimal value; a value of any other type leaves result as passed
// and still counts as read. A key or value that cannot be read empties result and
// gives false.
bool GetKeyValue(RegistryAccess& registry, RegistryRoot root, const std::string& keyPath,
                 const std::string& valueName, std::string& result);

// The system's registry (read access only); null where there is none.
std::unique_ptr<RegistryAccess> systemRegistry();
