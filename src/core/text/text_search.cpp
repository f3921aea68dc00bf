#include "core/text/text_search.h"

#include <cstring>
#include <string>

namespace kestrava {

namespace {

using Table = std::array<unsigned char, 256>;

Table asciiTable()
{
    Table table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return table;
}

// The Latin block 0xC0..0xDE folds to 0xE0..0xFE in both code pages, except the
// multiplication sign 0xD7.
void addLatinBlock(Table& table)
{
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            table[c] = static_cast<unsigned char>(c + 0x20);
}

Table windows1250()
{
    Table table = asciiTable();
    addLatinBlock(table);
    // Š Ś Ť Ž Ź, Ł Ą Ş Ż Ľ
    const unsigned char pairs[][2] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
                                      {0x8F, 0x9F}, {0xA3, 0xB3}, {0xA5, 0xB9}, {0xAA, 0xBA},
                                      {0xAF, 0xBF}, {0xBC, 0xBE}};
    for (const auto& pair : pairs)
        table[pair[0]] = pair[1];
    return table;
}

Table windows1252()
{
    Table table = asciiTable();
    addLatinBlock(table);
    // Š Œ Ž Ÿ
    const unsigned char pairs[][2] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
    for (const auto& pair : pairs)
        table[pair[0]] = pair[1];
    return table;
}

bool matchesAt(const unsigned char* at, const std::string& folded, const Table& lower)
{
    for (std::size_t i = 1; i < folded.size(); ++i)
        if (lower[at[i]] != static_cast<unsigned char>(folded[i]))
            return false;
    return true;
}

}  // namespace

const std::array<unsigned char, 256>& lowerCaseTable(Language language)
{
    static const Table polish = windows1250();
    static const Table other = windows1252();
    return language == Language::Polish ? polish : other;
}

std::optional<std::size_t> findText(std::string_view text, std::string_view needle,
                                    Language language, std::size_t from, SearchDirection direction)
{
    if (needle.empty() || needle.size() > text.size())
        return std::nullopt;
    const Table& lower = lowerCaseTable(language);
    std::string folded(needle);
    for (char& c : folded)
        c = static_cast<char>(lower[static_cast<unsigned char>(c)]);
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t lastStart = text.size() - needle.size();
    const auto first = static_cast<unsigned char>(folded[0]);

    // memchr finds the candidates, for every byte that folds to the first letter (at
    // most a handful), and the nearest one is tried.
    unsigned char variants[4];
    std::size_t variantCount = 0;
    for (int c = 0; c < 256 && variantCount < 4; ++c)
        if (lower[c] == first)
            variants[variantCount++] = static_cast<unsigned char>(c);
    std::size_t next[4];
    const auto findFrom = [&](unsigned char c, std::size_t at) {
        if (at > lastStart)
            return text.size();
        const void* hit = std::memchr(data + at, c, lastStart + 1 - at);
        return hit ? std::size_t(static_cast<const unsigned char*>(hit) - data) : text.size();
    };
    // Backward: the last candidate before a place, by memrchr where the C library has
    // it. text.size() stands for none in both directions.
    const auto findBefore = [&](unsigned char c, std::size_t before) {
        before = std::min(before, lastStart + 1);
#ifdef __GLIBC__
        const void* hit = before ? ::memrchr(data, c, before) : nullptr;
        return hit ? std::size_t(static_cast<const unsigned char*>(hit) - data) : text.size();
#else
        for (std::size_t i = before; i-- > 0;)
            if (data[i] == c)
                return i;
        return text.size();
#endif
    };
    const bool forward = direction == SearchDirection::Forward;
    for (std::size_t v = 0; v < variantCount; ++v)
        next[v] = forward ? findFrom(variants[v], from) : findBefore(variants[v], from);
    for (;;) {
        // The nearest candidate: the lowest place forward, the highest backward.
        std::size_t best = 0;
        for (std::size_t v = 1; v < variantCount; ++v) {
            const bool nearer = forward ? next[v] < next[best]
                                        : (next[best] == text.size() ||
                                           (next[v] != text.size() && next[v] > next[best]));
            if (nearer)
                best = v;
        }
        const std::size_t at = next[best];
        if (at > lastStart)
            return std::nullopt;
        if (matchesAt(data + at, folded, lower))
            return at;
        next[best] = forward ? findFrom(variants[best], at + 1) : findBefore(variants[best], at);
    }
}

}  // namespace kestrava
