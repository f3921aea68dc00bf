// Telling repeated records and repeated downloads apart without keeping their text:
// a 128-bit hash stands for each, and the set of the welds seen keeps 16 bytes a weld
// (plus the table's free slots, at most a fifth of them).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrava {

struct Hash128 {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    bool operator==(const Hash128&) const = default;
    auto operator<=>(const Hash128&) const = default;
};

// A 128-bit hash of a text given in pieces (the 64-bit multiply-rotate mix of
// MurmurHash3's x64 variant): the same bytes give the same hash however they are cut.
class TextHash {
public:
    // Texts hashed under different seeds are told apart even when their bytes agree.
    explicit TextHash(std::uint64_t seed = 0);
    void add(std::string_view bytes);
    Hash128 result() const;

private:
    void block(std::uint64_t k1, std::uint64_t k2);

    std::uint64_t h1_ = 0x6b657374726176ull;
    std::uint64_t h2_ = 0x61616e616c7973ull;
    std::uint64_t length_ = 0;
    std::array<unsigned char, 16> tail_{};
    std::size_t tailSize_ = 0;
};

Hash128 hashText(std::string_view bytes, std::uint64_t seed = 0);

// The hashes seen, each once. Not for use from two threads at a time.
class WeldSet {
public:
    WeldSet();
    // True when hash was not in the set (it is now).
    bool insert(Hash128 hash);
    std::uint64_t size() const { return size_; }
    // The bytes the table holds.
    std::uint64_t bytes() const;

private:
    struct Shard {
        std::vector<Hash128> slots;  // {0, 0} is a free slot
        std::size_t used = 0;
    };
    static bool insertInto(std::vector<Hash128>& slots, Hash128 hash);
    void grow(Shard& shard);

    std::vector<Shard> shards_;  // by the hash's top bits, so that growing moves little at once
    std::uint64_t size_ = 0;
};

}  // namespace kestrava
