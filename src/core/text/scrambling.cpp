#include "core/text/scrambling.h"

#include "core/files/file_copy.h"

namespace kestrava {

namespace {

// Shifts every whole 16-bit little-endian unit of data[0..size) (size even) by the key
// and returns whether the last unit carried (encode: wrapped past 65535; decode: was
// below the key). wrapped is left unchanged when size is 0.
void shiftUnits(std::uint8_t* data, std::size_t size, ScrambleDirection direction, bool& wrapped)
{
    const std::uint32_t key = kScrambleKey;
    if (direction == ScrambleDirection::Decode) {
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            const std::uint32_t unit = std::uint32_t(data[i]) | (std::uint32_t(data[i + 1]) << 8);
            const std::uint32_t plain = (unit - key) & 0xFFFFu;
            data[i] = std::uint8_t(plain);
            data[i + 1] = std::uint8_t(plain >> 8);
        }
        if (size >= 2) {
            // The unit as read decides the borrow; recompute it from the result.
            const std::uint32_t plain =
                std::uint32_t(data[size - 2]) | (std::uint32_t(data[size - 1]) << 8);
            wrapped = plain >= 0x10000u - key;  // unit < key  <=>  unit - key wrapped
        }
    } else {
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            const std::uint32_t unit = std::uint32_t(data[i]) | (std::uint32_t(data[i + 1]) << 8);
            const std::uint32_t scrambled = (unit + key) & 0xFFFFu;
            data[i] = std::uint8_t(scrambled);
            data[i + 1] = std::uint8_t(scrambled >> 8);
        }
        if (size >= 2) {
            const std::uint32_t scrambled =
                std::uint32_t(data[size - 2]) | (std::uint32_t(data[size - 1]) << 8);
            wrapped = scrambled < key;  // unit + key > 65535  <=>  result below key
        }
    }
}

// The trailing byte of an odd-length text (3 bytes or more): the last unit's carry
// moves into it, so that decoding and encoding stay exact inverses.
std::uint8_t trailingByte(std::uint8_t byte, ScrambleDirection direction, bool wrapped)
{
    const int carry = wrapped ? 1 : 0;
    return direction == ScrambleDirection::Decode ? std::uint8_t(byte - carry)
                                                  : std::uint8_t(byte + carry);
}

std::vector<std::uint8_t> transform(std::span<const std::uint8_t> input,
                                    ScrambleDirection direction)
{
    std::vector<std::uint8_t> output(input.begin(), input.end());
    const std::size_t whole = output.size() & ~std::size_t(1);
    bool wrapped = false;
    shiftUnits(output.data(), whole, direction, wrapped);
    if (output.size() % 2 == 1 && output.size() >= 3)
        output.back() = trailingByte(output.back(), direction, wrapped);
    return output;
}

}  // namespace

std::vector<std::uint8_t> decodeBytes(std::span<const std::uint8_t> scrambled)
{
    return transform(scrambled, ScrambleDirection::Decode);
}

std::vector<std::uint8_t> encodeBytes(std::span<const std::uint8_t> plain)
{
    return transform(plain, ScrambleDirection::Encode);
}

void ScrambleStream::feed(std::span<const std::uint8_t> piece, std::string& out)
{
    std::size_t i = 0;
    const std::size_t start = out.size();
    if (holding_ && !piece.empty()) {
        out.push_back(char(held_));
        out.push_back(char(piece[0]));
        holding_ = false;
        i = 1;
    }
    const std::size_t whole = (piece.size() - i) & ~std::size_t(1);
    out.append(reinterpret_cast<const char*>(piece.data() + i), whole);
    i += whole;
    if (i < piece.size()) {
        held_ = piece[i];
        holding_ = true;
    }
    const std::size_t produced = out.size() - start;
    shiftUnits(reinterpret_cast<std::uint8_t*>(out.data() + start), produced, direction_, wrapped_);
    units_ += produced / 2;
}

void ScrambleStream::finish(std::string& out)
{
    if (!holding_)
        return;
    out.push_back(char(units_ > 0 ? trailingByte(held_, direction_, wrapped_) : held_));
    holding_ = false;
}

FileResult scrambleFile(ScrambleDirection direction, const std::filesystem::path& source,
                        const std::filesystem::path& target, bool replaceExisting,
                        const Progress& progress)
{
    std::uint64_t units = 0;  // whole units done
    bool wrapped = false;
    return fileio::copyThrough(source, target, replaceExisting, progress,
                               [&](std::uint8_t* chunk, std::size_t size, bool atEnd) {
                                   if (atEnd) {
                                       // A 1-byte text stays as it is; a longer odd one takes the last unit's carry.
                                       if (size == 1 && units > 0)
                                           chunk[0] = trailingByte(chunk[0], direction, wrapped);
                                       return size;
                                   }
                                   // A byte of an unfinished unit waits for the next chunk.
                                   const std::size_t whole = size & ~std::size_t(1);
                                   shiftUnits(chunk, whole, direction, wrapped);
                                   units += whole / 2;
                                   return whole;
                               });
}

}  // namespace kestrava
