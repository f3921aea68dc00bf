#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <tuple>

#include "core/text/text_search.h"

using namespace kestrava;

TEST(TextSearch, IgnoresCaseInTheLanguagesCodePage)
{
    constexpr auto F = SearchDirection::Forward;
    constexpr auto B = SearchDirection::Backward;
    constexpr auto none = std::nullopt;
    // "Łódź ORV\r\nłÓDŹ orv" in windows-1250.
    const std::string_view polish = "\xA3\xF3\x64\x9F ORV\r\n\xB3\xD3\x44\x8F orv";
    const std::tuple<std::string_view, std::string_view, Language, std::size_t, SearchDirection,
                     std::optional<std::size_t>>
        cases[] = {
            {polish, "orv", Language::Polish, 0, F, 5},
            {polish, "orv", Language::Polish, 5, F, 5},
            {polish, "orv", Language::Polish, 6, F, 15},
            {polish, "orv", Language::Polish, 16, F, none},
            {polish, "orv", Language::Polish, 15, B, 5},
            {polish, "orv", Language::Polish, 16, B, 15},
            {polish, "orv", Language::Polish, 5, B, none},
            {polish, "\xB3\xF3\x64\x9F", Language::Polish, 1, F, 10},  // "łódź" finds "łÓDŹ"
            {polish, "\xB3\xF3\x64\x9F", Language::Polish, 99, B, 10},
            {polish, "\xA3", Language::Polish, 0, F, 0},  // "Ł" finds "Ł"
            {polish, "\xB3", Language::English, 0, F, 10},  // 1252: "³" is no letter
            {"Caf\xC9 x caf\xE9", "CAF\xE9", Language::English, 1, F, 7},
            {"abc", "", Language::English, 0, F, none},
            {"ab", "abc", Language::English, 0, F, none},
            {"aaab", "AAB", Language::English, 0, F, 1},
            {"x\xD7 x\xF7", "\xF7", Language::English, 0, F, 4},  // × and ÷ do not fold
        };
    for (const auto& [text, needle, language, from, direction, expected] : cases)
        EXPECT_EQ(findText(text, needle, language, from, direction), expected)
            << needle << " from " << from;
}
