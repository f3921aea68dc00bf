#include "core/fleet/weld_set.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

constexpr std::uint64_t kC1 = 0x87c37b91114253d5ull;
constexpr std::uint64_t kC2 = 0x4cf5ad432745937full;
constexpr unsigned kShardBits = 8;

constexpr std::uint64_t rotl(std::uint64_t x, int r)
{
    return (x << r) | (x >> (64 - r));
}

constexpr std::uint64_t finalMix(std::uint64_t k)
{
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ull;
    k ^= k >> 33;
    return k;
}

std::uint64_t load64(const unsigned char* p)
{
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    value = __builtin_bswap64(value);  // the same hash on every machine
#endif
    return value;
}

// The slot of a hash in a table of size slots: the low half scaled to the size.
std::size_t slotOf(const Hash128& hash, std::size_t size)
{
    return std::size_t(__extension__(unsigned __int128) hash.low * size >> 64);
}

}  // namespace

void TextHash::block(std::uint64_t k1, std::uint64_t k2)
{
    k1 *= kC1;
    k1 = rotl(k1, 31);
    k1 *= kC2;
    h1_ ^= k1;
    h1_ = rotl(h1_, 27);
    h1_ += h2_;
    h1_ = h1_ * 5 + 0x52dce729;
    k2 *= kC2;
    k2 = rotl(k2, 33);
    k2 *= kC1;
    h2_ ^= k2;
    h2_ = rotl(h2_, 31);
    h2_ += h1_;
    h2_ = h2_ * 5 + 0x38495ab5;
}

void TextHash::add(std::string_view bytes)
{
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    length_ += left;
    if (tailSize_ > 0) {
        const std::size_t take = std::min(left, tail_.size() - tailSize_);
        std::memcpy(tail_.data() + tailSize_, p, take);
        tailSize_ += take;
        p += take;
        left -= take;
        if (tailSize_ < tail_.size())
            return;
        block(load64(tail_.data()), load64(tail_.data() + 8));
        tailSize_ = 0;
    }
    for (; left >= 16; p += 16, left -= 16)
        block(load64(p), load64(p + 8));
    std::memcpy(tail_.data(), p, left);
    tailSize_ = left;
}

Hash128 TextHash::result() const
{
    std::uint64_t h1 = h1_;
    std::uint64_t h2 = h2_;
    std::array<unsigned char, 16> last{};
    std::memcpy(last.data(), tail_.data(), tailSize_);
    std::uint64_t k1 = load64(last.data());
    std::uint64_t k2 = load64(last.data() + 8);
    if (tailSize_ > 8) {
        k2 *= kC2;
        k2 = rotl(k2, 33);
        k2 *= kC1;
        h2 ^= k2;
    }
    if (tailSize_ > 0) {
        k1 *= kC1;
        k1 = rotl(k1, 31);
        k1 *= kC2;
        h1 ^= k1;
    }
    h1 ^= length_;
    h2 ^= length_;
    h1 += h2;
    h2 += h1;
    h1 = finalMix(h1);
    h2 = finalMix(h2);
    h1 += h2;
    h2 += h1;
    return {h1, h2};
}

TextHash::TextHash(std::uint64_t seed)
{
    h1_ ^= finalMix(seed + 1);
    h2_ ^= seed;
}

Hash128 hashText(std::string_view bytes, std::uint64_t seed)
{
    TextHash hash(seed);
    hash.add(bytes);
    return hash.result();
}

WeldSet::WeldSet() : shards_(std::size_t(1) << kShardBits)
{ }

bool WeldSet::insertInto(std::vector<Hash128>& slots, Hash128 hash)
{
    for (std::size_t at = slotOf(hash, slots.size());; at = at + 1 == slots.size() ? 0 : at + 1) {
        if (slots[at] == hash)
            return false;
        if (slots[at] == Hash128{}) {
            slots[at] = hash;
            return true;
        }
    }
}

void WeldSet::grow(Shard& shard)
{
    // A quarter more each time: the table stays between 64% and 80% full, so the
    // memory stays near the 16 bytes of each hash.
    std::vector<Hash128> wider(shard.slots.size() + shard.slots.size() / 4 + 16);
    for (const Hash128& hash : shard.slots)
        if (hash != Hash128{})
            insertInto(wider, hash);
    shard.slots.swap(wider);
}

bool WeldSet::insert(Hash128 hash)
{
    if (hash == Hash128{})
        hash.low = 1;  // {0, 0} marks a free slot
    Shard& shard = shards_[hash.high >> (64 - kShardBits)];
    if ((shard.used + 1) * 5 > shard.slots.size() * 4)
        grow(shard);
    if (!insertInto(shard.slots, hash))
        return false;
    ++shard.used;
    ++size_;
    return true;
}

std::uint64_t WeldSet::bytes() const
{
    std::uint64_t total = 0;
    for (const Shard& shard : shards_)
        total += shard.slots.capacity() * sizeof(Hash128);
    return total;
}

}  // namespace kestrava
