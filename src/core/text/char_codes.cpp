#include "core/text/char_codes.h"

namespace kestrava {

namespace {
constexpr std::size_t kGroupLength = 3;
}  // namespace

std::string codeGroup(char16_t unit)
{
    // The unit as a signed 16-bit number: 32768..65535 stand for -32768..-1.
    const int value = unit < 0x8000 ? static_cast<int>(unit) : static_cast<int>(unit) - 0x10000;
    std::string text = std::to_string(value);
    if (text.size() < kGroupLength)
        text.insert(0, kGroupLength - text.size(), '0');
    else if (text.size() > kGroupLength)
        text.erase(0, text.size() - kGroupLength);
    return text;
}

std::string encodeCharCodes(std::u16string_view text)
{
    std::string codes;
    codes.reserve(text.size() * kGroupLength);
    for (const char16_t unit : text)
        codes += codeGroup(unit);
    return codes;
}

std::optional<int> readCodeGroup(std::string_view group)
{
    std::size_t position = 0;
    // Leading zeros may stand before the sign: the padding of "-5" is "0-5".
    while (position < group.size() && group[position] == '0')
        ++position;
    bool negative = false;
    if (position < group.size() && group[position] == '-') {
        negative = true;
        ++position;
    } else if (position == group.size() && position > 0) {
        return 0;  // only zeros
    }
    if (position == group.size())
        return std::nullopt;  // no digits after the sign, or an empty group
    long value = 0;
    for (; position < group.size(); ++position) {
        const char c = group[position];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 0xFFFF)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

char16_t unitFromCodeNumber(int number)
{
    return static_cast<char16_t>(static_cast<unsigned>(number) & 0xFFFFu);
}

std::u16string decodeCharCodes(std::string_view codes)
{
    std::u16string text;
    text.reserve(codes.size() / kGroupLength + 1);
    for (std::size_t start = 0; start < codes.size(); start += kGroupLength) {
        const std::optional<int> number = readCodeGroup(codes.substr(start, kGroupLength));
        text += number ? unitFromCodeNumber(*number) : kUnreadableGroupUnit;
    }
    return text;
}

}  // namespace kestrava
