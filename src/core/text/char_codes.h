// Character-code strings: every UTF-16 code unit of a text is written as a group of
// three characters (its value as a signed 16-bit number in decimal, padded on the left
// with "0" or cut to its last three characters), and a code string is read back into
// code units group by group. Units 0 to 999 and 65437 to 65535 survive the round trip;
// larger units lose their leading digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrava {

// The three-character group of one code unit: 97 -> "097", 9 -> "009",
// 8364 -> "364", 65531 (-5) -> "0-5", 65526 (-10) -> "-10", 32768 (-32768) -> "768".
std::string codeGroup(char16_t unit);

// The code string of a text: one group per code unit, in order, no separators.
// Any length.
std::string encodeCharCodes(std::u16string_view text);

// The number a group stands for: decimal digits, optionally preceded by zeros and
// then a "-" that makes the number negative ("042" -> 42, "-10" -> -10, "0-5" -> -5,
// "00-" or "a12" -> nothing). Numbers outside -65535..65535 read as nothing.
std::optional<int> readCodeGroup(std::string_view group);

// The code unit of a number: 0..65535 give themselves, a negative number gives
// 65536 plus the number. Other values wrap modulo 65536.
char16_t unitFromCodeNumber(int number);

// The code unit that stands for a group that reads as no number.
inline constexpr char16_t kUnreadableGroupUnit = u'\uFFFD';

// Rebuilds the text of a code string, reading groups of three from the start; a
// shorter last group is read as it stands. Any length.
std::u16string decodeCharCodes(std::string_view codes);

}  // namespace kestrava
