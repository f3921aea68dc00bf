// Reads back, through the system's registry, what fill_registry.sh stored in it.
#include <gtest/gtest.h>

#include "registry/registry_access.h"

TEST(SystemRegistry, ValuesAreReadAsStoredAndOnlyWhenTheyFit)
{
    const auto registry = systemRegistry();
    ASSERT_TRUE(registry);
    const std::string testKey = "SOFTWARE\\Kestrava Registry Test";
    struct Case {
        std::string key;
        std::string value;
        bool read;
        std::string text;
    } const cases[] = {
        {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", true,
         "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE"},
        {"SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", true,
         "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo"},
        {"SOFTWARE\\Kestrava Registry Missing", "PATH", false, ""},
        {testKey, "Missing", false, ""},
        {testKey, "Empty", true, ""},
        {testKey, "Fits", true, std::string(1023, 'a')},
        {testKey, "TooLong", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + " " + c.value);
        std::string result = "left over";
        EXPECT_EQ(GetKeyValue(*registry, RegistryRoot::LocalMachine, c.key, c.value, result),
                  c.read);
        EXPECT_EQ(result, c.text);
    }
}
