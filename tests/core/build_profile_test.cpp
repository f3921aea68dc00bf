#include <gtest/gtest.h>

#include "core/build_profile.h"

TEST(BuildProfile, LanguageNamesAreExactAndCaseSensitive)
{
    using kestrava::Language;
    EXPECT_EQ(kestrava::languageFromName("English"), Language::English);
    EXPECT_EQ(kestrava::languageFromName("Polish"), Language::Polish);
    EXPECT_EQ(kestrava::languageFromName("polish"), Language::Other);
    EXPECT_EQ(kestrava::languageFromName(""), Language::Other);
}
