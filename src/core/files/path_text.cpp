#include "core/files/path_text.h"

#include <cstdio>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace kestrava {

std::filesystem::path pathFromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::size_t utf8CharLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

namespace {

void appendEscape(std::string& out, const char* format, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string shownText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text.front());
        const std::size_t length = utf8CharLength(text);
        if (length == 0) {
            appendEscape(out, "\\x%02x", c);
            text.remove_prefix(1);
            continue;
        }
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7F)
            appendEscape(out, "\\x%02x", c);
        else if (c == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0)  // C1 controls
            appendEscape(out, "\\u%04x", static_cast<unsigned char>(text[1]));
        else
            out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

bool isFileNameText(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
#ifdef _WIN32
    return text.empty() || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                               int(text.size()), nullptr, 0) > 0;
#else
    while (!text.empty()) {
        const std::size_t length = utf8CharLength(text);
        if (length == 0 || (text[0] == '\xC2' && static_cast<unsigned char>(text[1]) < 0xA0))
            return false;  // no UTF-8, or a C1 control
        text.remove_prefix(length);
    }
    return true;
#endif
}

std::filesystem::path pathFromFileNameText(std::string_view text)
{
#ifdef _WIN32
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), length);
    return std::filesystem::path(wide);
#else
    return std::filesystem::path(std::string(text));
#endif
}

std::string shownPath(const std::filesystem::path& path)
{
    return shownText(utf8Text(path));
}

}  // namespace kestrava
