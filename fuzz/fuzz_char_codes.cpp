// Character-code strings from arbitrary bytes: decoding never fails, gives one code
// unit per group of three, and every unit that survives the round trip comes back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text/char_codes.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

bool survives(char16_t unit)
{
    return unit <= 999 || unit >= 65437;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Arbitrary bytes as a code string.
    const std::string codes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = decodeCharCodes(codes);
    FUZZ_CHECK(text.size() == (size + 2) / 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string group = codes.substr(i * 3, 3);
        const auto number = readCodeGroup(group);
        FUZZ_CHECK(text[i] == (number ? unitFromCodeNumber(*number) : kUnreadableGroupUnit));
        if (number) {
            FUZZ_CHECK(*number >= -65535 && *number <= 65535);
            // A number read from a group is written back as a group that reads the same unit.
            if (survives(text[i]))
                FUZZ_CHECK(unitFromCodeNumber(*readCodeGroup(codeGroup(text[i]))) == text[i]);
        }
    }

    // Arbitrary bytes as UTF-16 code units.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units += char16_t(data[i] | (data[i + 1] << 8));
    const std::string encoded = encodeCharCodes(units);
    FUZZ_CHECK(encoded.size() == units.size() * 3);
    const std::u16string back = decodeCharCodes(encoded);
    FUZZ_CHECK(back.size() == units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        FUZZ_CHECK(encoded.substr(i * 3, 3) == codeGroup(units[i]));
        if (survives(units[i]))
            FUZZ_CHECK(back[i] == units[i]);
    }
    return 0;
}
