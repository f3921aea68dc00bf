// Finding a text in a listing, ignoring case. The listing and the text sought are
// bytes of the build language's code page (1250 for Polish, 1252 otherwise), so the
// letters of that code page fold too: "ł" finds "Ł", "é" finds "É".
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "core/settings/build_profile.h"

namespace kestrava {

// Each byte of the language's code page mapped to its lower-case letter (itself when
// it is no upper-case letter).
const std::array<unsigned char, 256>& lowerCaseTable(Language language);

enum class SearchDirection { Forward, Backward };

// Where needle occurs in text, case ignored: Forward, the first occurrence starting at
// or after from; Backward, the last one starting before from. nullopt when there is
// none (and for an empty needle). from may be anything up to text.size().
std::optional<std::size_t> findText(std::string_view text, std::string_view needle,
                                    Language language, std::size_t from, SearchDirection direction);

}  // namespace kestrava
