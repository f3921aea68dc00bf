#include "registry/registry_access.h"

#include <algorithm>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
class WindowsRegistryAccess final : public RegistryAccess {
public:
    std::optional<Key> openForReading(RegistryRoot, const std::string& keyPath) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        return reinterpret_cast<Key>(key);
    }

    bool queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                    unsigned char* buffer, std::uint32_t& size) override
    {
        DWORD valueType = 0;
        DWORD dataSize = size;
        if (RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr, &valueType,
                             buffer, &dataSize) != ERROR_SUCCESS)
            return false;
        type = valueType;
        size = dataSize;
        return true;
    }

    void close(Key key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};
#endif

}  // namespace

bool GetKeyValue(RegistryAccess& registry, RegistryRoot root, const std::string& keyPath,
                 const std::string& valueName, std::string& result)
{
    const std::optional<RegistryAccess::Key> key = registry.openForReading(root, keyPath);
    if (!key) {
        result.clear();
        return false;
    }
    std::vector<unsigned char> buffer(kRegistryBufferSize, 0);
    std::uint32_t type = 0;
    std::uint32_t size = kRegistryBufferSize;
    if (!registry.queryValue(*key, valueName, type, buffer.data(), size)) {
        result.clear();
        registry.close(*key);
        return false;
    }
    size = std::min(size, kRegistryBufferSize);
    std::string data(reinterpret_cast<const char*>(buffer.data()), size);
    // Text stored with its terminating NUL loses it; text stored without one keeps
    // its last character.
    if (!data.empty() && data.back() == '\0')
        data.pop_back();

    if (type == kRegistryText) {
        result = data;
    } else if (type == kRegistryNumber) {
        std::uint32_t number = 0;
        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(size, 4); ++i)
            number |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
        result = std::to_string(number);
    }
    registry.close(*key);
    return true;
}

std::unique_ptr<RegistryAccess> systemRegistry()
{
#ifdef _WIN32
    return std::make_unique<WindowsRegistryAccess>();
#else
    return nullptr;
#endif
}
