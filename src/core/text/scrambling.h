// The "Encrypted Data" scrambling: 16-bit little-endian units shifted by the key K.
//
// Decoding (scrambled s[1..N] -> plain, exactly N bytes):
//   every whole unit P becomes (P - K) mod 65536;
//   for odd N >= 3 the trailing byte becomes (s[N] - b) mod 256, where b = 1 when the
//   last whole unit was below K (the borrow every stored file was decoded with);
//   a 1-byte source is copied unchanged; an empty source gives an empty copy.
// Encoding (plain b[1..n] -> scrambled, exactly n bytes), the exact inverse:
//   every whole unit P becomes (P + K) mod 65536;
//   for odd n >= 3 the trailing byte becomes (b[n] + c) mod 256, where c = 1 when the
//   last whole unit wrapped past 65535; a 1-byte text is unchanged.
// decode(encode(x)) == x and encode(decode(y)) == y for every byte string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/files/file_result.h"

namespace kestrava {

inline constexpr std::uint16_t kScrambleKey = 5218;

enum class ScrambleDirection { Decode, Encode };

std::vector<std::uint8_t> decodeBytes(std::span<const std::uint8_t> scrambled);
std::vector<std::uint8_t> encodeBytes(std::span<const std::uint8_t> plain);

// The same transformation on a text that arrives in pieces: the concatenated output
// equals decodeBytes/encodeBytes of the concatenated input, however it is split.
class ScrambleStream {
public:
    explicit ScrambleStream(ScrambleDirection direction) : direction_(direction) { }

    // Appends the finished bytes of piece to out; an unpaired last byte is held back.
    void feed(std::span<const std::uint8_t> piece, std::string& out);
    // Appends the held-back byte, if any, at the end of the text.
    void finish(std::string& out);

private:
    ScrambleDirection direction_;
    std::uint64_t units_ = 0;  // whole units done
    bool wrapped_ = false;  // carry of the last whole unit
    bool holding_ = false;
    std::uint8_t held_ = 0;
};

// Streams source to target in chunks (constant memory). The target is written to a
// temporary file beside it and renamed into place, so it is never left half-written;
// an existing target is replaced only when replaceExisting is true.
FileResult scrambleFile(ScrambleDirection direction, const std::filesystem::path& source,
                        const std::filesystem::path& target, bool replaceExisting = true,
                        const Progress& progress = {});

}  // namespace kestrava
