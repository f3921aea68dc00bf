// Inputs of the shapes that reach the listing's long-line cases, which random
// mutation of small files seldom builds: a header of many fields, a header field or a
// record field hundreds of kilobytes long, a record wider than its header. Used as
// the listing target's custom mutator (one call in four; the others mutate as usual).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace kestrava::fuzz {

// The input's last bytes are the filter and piece sizes the target reads; they are
// kept, and the text before them replaced.
inline constexpr std::size_t kControlBytes = 16;

// A length up to limit, spread evenly over the orders of magnitude.
inline std::size_t spreadLength(std::minstd_rand& random, std::size_t limit)
{
    if (limit < 2)
        return limit;
    const int bits = int(random() % 21);  // up to 1 M
    return std::min<std::size_t>(limit, (std::size_t(1) << bits) + random() % (std::size_t(1) << bits));
}

inline std::string shapedText(std::minstd_rand& random, std::size_t budget)
{
    static const char* const words[] = {"Weld", "Log", "Num", "NUM", "Sch", "Nom", "Xyz"};
    static const char fills[] = {'x', '\0', '\t', '\n', ' ', '5', '\r', char(0xE9)};
    const std::string word = words[random() % 7];
    const char fill = fills[random() % sizeof fills];
    const std::string header = word + "\tSerial\tDate\tTime\tError\r\n";
    const std::string recordStart = "1\tS-7\t14/03/2009\t";
    const std::size_t room = budget > header.size() + recordStart.size() + 16
                                 ? budget - header.size() - recordStart.size() - 16
                                 : 0;
    const std::size_t length = spreadLength(random, room);
    std::string text;
    switch (random() % 4) {
    case 0:  // a wide header, perhaps followed by a record as wide
        text = word + std::string(length / 2, '\t');
        if (random() % 2)
            text += "\r\n" + recordStart + std::string(length / 2, '\t') + "0";
        break;
    case 1:  // one long header field
        text = word + std::string(length, fill) + "\tSerial\tDate\r\n" + recordStart + "0\r\n";
        break;
    case 2:  // one long record field, its line end perhaps missing
        text = header + recordStart + std::string(length, fill);
        if (random() % 2)
            text += "\t0\r\n" + recordStart + "10:00\t5\r\n";
        break;
    default:  // many short records of a record wider than the header
        text = header;
        while (text.size() + 40 < length)
            text += recordStart + "10:00\t" + std::to_string(random() % 30) + "\tx\ty\r\n";
        break;
    }
    if (text.size() > budget)
        text.resize(budget);
    return text;
}

}  // namespace kestrava::fuzz
