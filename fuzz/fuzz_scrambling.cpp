// Scrambling of arbitrary bytes: decoding and encoding keep the length and undo each
// other exactly, whatever the bytes and whatever the length (odd tails included).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/text/scrambling.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exactly sized heap copy, so that a read past the end is caught.
    const std::vector<std::uint8_t> input(data, data + size);
    const std::span<const std::uint8_t> bytes(input);

    const auto decoded = kestrava::decodeBytes(bytes);
    FUZZ_CHECK(decoded.size() == size);
    const auto reencoded = kestrava::encodeBytes(decoded);
    FUZZ_CHECK(reencoded == input);

    const auto encoded = kestrava::encodeBytes(bytes);
    FUZZ_CHECK(encoded.size() == size);
    FUZZ_CHECK(kestrava::decodeBytes(encoded) == input);

    // Every whole unit moves by the key; only a trailing odd byte may take a carry.
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned unit = unsigned(input[i]) | (unsigned(input[i + 1]) << 8);
        const unsigned plain = unsigned(decoded[i]) | (unsigned(decoded[i + 1]) << 8);
        FUZZ_CHECK(((plain + kestrava::kScrambleKey) & 0xFFFFu) == unit);
    }
    if (size % 2 == 1) {
        const int change = (int(input[size - 1]) - int(decoded[size - 1]) + 256) % 256;
        FUZZ_CHECK(change == 0 || (change == 1 && size >= 3));
    }

    // The stream gives the same bytes however the text is cut into pieces; the piece
    // sizes (0 included) come from the input itself.
    for (const auto direction :
         {kestrava::ScrambleDirection::Decode, kestrava::ScrambleDirection::Encode}) {
        kestrava::ScrambleStream stream(direction);
        std::string out;
        std::size_t at = 0;
        for (std::size_t turn = 0; at < size; ++turn) {
            std::size_t piece = input[turn % size] % 8;
            if (piece == 0) {
                stream.feed({}, out);
                piece = 1;
            }
            piece = std::min(piece, size - at);
            stream.feed(bytes.subspan(at, piece), out);
            at += piece;
        }
        stream.finish(out);
        const auto& whole = direction == kestrava::ScrambleDirection::Decode ? decoded : encoded;
        FUZZ_CHECK(out.size() == whole.size());
        FUZZ_CHECK(std::equal(out.begin(), out.end(), whole.begin(),
                              [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }));
    }
    return 0;
}
