// The import's tables in memory: the weld keys of the machines and days a file
// meets, and the flags of those machines and days. Both are open-addressing tables
// of a power-of-two size, looked up once or twice for every record of a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "core/files/file_io.h"

namespace kestrava::archive {

// A weld's entry of weld_keys.
struct KeyEntry {
    std::int32_t machine = 0;
    std::int32_t day = 0;  // Julian day number; 0: no date
    std::int64_t key = 0;
    std::int64_t weld = 0;
    auto operator<=>(const KeyEntry&) const = default;
};

// The entries in the order added, found by machine, day and key. A slot holds an
// entry's index and 32 bits of its hash, so that a search reads an entry only when
// those bits match.
class KeyTable {
public:
    // The weld of the entry with the key, or 0.
    std::int64_t find(std::int32_t machine, std::int32_t day, std::int64_t key) const
    {
        if (slots_.empty())
            return 0;
        const std::uint64_t hash = hashOf(machine, day, key);
        for (std::size_t i = slotOf(hash);; i = (i + 1) & (slots_.size() - 1)) {
            const std::uint64_t slot = slots_[i];
            if (slot == 0)
                return 0;
            if (std::uint32_t(slot >> 32) != std::uint32_t(hash))
                continue;
            const KeyEntry& entry = entries_[std::uint32_t(slot) - 1];
            if (entry.key == key && entry.machine == machine && entry.day == day)
                return entry.weld;
        }
    }

    // Asks the processor for the slot of a key that is to be looked for soon.
    void prefetch(std::int32_t machine, std::int32_t day, std::int64_t key) const
    {
#if defined(__GNUC__)
        if (!slots_.empty())
            __builtin_prefetch(&slots_[slotOf(hashOf(machine, day, key))]);
#else
        (void)machine, (void)day, (void)key;
#endif
    }

    void add(const KeyEntry& entry)
    {
        if (2 * (entries_.size() + 1) > slots_.size())
            rehash(std::max<std::size_t>(1024, slots_.size() * 2));
        entries_.push_back(entry);
        place(entries_.size());
    }

    // Room for count entries in all.
    void reserve(std::size_t count)
    {
        if (2 * count <= slots_.size())
            return;
        if (entries_.capacity() < count) {
            std::vector<KeyEntry> entries;
            entries.reserve(count);
            fileio::adviseLargePages(entries.data(), count * sizeof(KeyEntry));
            entries.assign(entries_.begin(), entries_.end());
            entries_.swap(entries);
        }
        std::size_t size = 1024;
        while (size < 2 * count)
            size *= 2;
        rehash(size);
    }

    // The entries, the table emptied.
    std::vector<KeyEntry> take()
    {
        slots_ = {};
        return std::move(entries_);
    }

private:
    static std::uint64_t hashOf(std::int32_t machine, std::int32_t day, std::int64_t key)
    {
        // The key is a hash already; the machine and day only tell groups apart.
        return std::uint64_t(key) ^ (std::uint64_t(std::uint32_t(machine)) * 0x9e3779b97f4a7c15u) ^
               (std::uint64_t(std::uint32_t(day)) * 0xc2b2ae3d27d4eb4fu);
    }

    // The high bits choose the slot, the low 32 are kept in it.
    std::size_t slotOf(std::uint64_t hash) const
    {
        return std::size_t(hash >> shift_);
    }

    void place(std::size_t index)
    {
        const KeyEntry& entry = entries_[index - 1];
        const std::uint64_t hash = hashOf(entry.machine, entry.day, entry.key);
        std::size_t i = slotOf(hash);
        while (slots_[i] != 0)
            i = (i + 1) & (slots_.size() - 1);
        slots_[i] = (hash << 32) | std::uint64_t(index);
    }

    void rehash(std::size_t size)
    {
        std::vector<std::uint64_t> slots;
        slots.reserve(size);
        fileio::adviseLargePages(slots.data(), size * sizeof(std::uint64_t));
        slots.resize(size, 0);
        slots_.swap(slots);
        shift_ = 64;
        for (std::size_t each = size; each > 1; each /= 2)
            --shift_;
        for (std::size_t index = 1; index <= entries_.size(); ++index)
            place(index);
    }

    std::vector<KeyEntry> entries_;
    std::vector<std::uint64_t> slots_;  // low 32 bits: 1 + an index of entries_ (0: free)
    int shift_ = 64;
};

// Entries sorted (a large number of them as two halves side by side, one on a thread
// of its own) and read in order, the halves merged as they are read.
class SortedEntries {
public:
    explicit SortedEntries(std::span<KeyEntry> entries);
    std::size_t size() const { return first_.size() + second_.size(); }
    const KeyEntry& next()
    {
        if (inSecond_ == second_.size() ||
            (inFirst_ < first_.size() && first_[inFirst_] < second_[inSecond_]))
            return first_[inFirst_++];
        return second_[inSecond_++];
    }

private:
    std::span<KeyEntry> first_, second_;
    std::size_t inFirst_ = 0, inSecond_ = 0;
};

// Flags of the machines and days a file meets (a machine and day as one number,
// never 0).
class DayFlags {
public:
    // The flags of group, 0 when it is met for the first time.
    std::uint8_t& operator[](std::uint64_t group)
    {
        if (2 * (used_ + 1) > groups_.size())
            grow();
        std::size_t i = slotOf(group);
        while (groups_[i] != group && groups_[i] != 0)
            i = (i + 1) & (groups_.size() - 1);
        if (groups_[i] == 0) {
            groups_[i] = group;
            ++used_;
        }
        return flags_[i];
    }

    // Calls seen(group) for each group whose flags have all of the bits of flags.
    template <typename Seen>
    void forEach(std::uint8_t flags, Seen seen) const
    {
        for (std::size_t i = 0; i < groups_.size(); ++i) {
            if (groups_[i] != 0 && (flags_[i] & flags) == flags)
                seen(groups_[i]);
        }
    }

private:
    std::size_t slotOf(std::uint64_t group) const
    {
        return std::size_t((group * 0x9e3779b97f4a7c15u) >> 40) & (groups_.size() - 1);
    }

    void grow()
    {
        std::vector<std::uint64_t> groups(std::max<std::size_t>(64, groups_.size() * 2), 0);
        std::vector<std::uint8_t> flags(groups.size(), 0);
        groups.swap(groups_);
        flags.swap(flags_);
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if (groups[i] != 0) {
                std::size_t at = slotOf(groups[i]);
                while (groups_[at] != 0)
                    at = (at + 1) & (groups_.size() - 1);
                groups_[at] = groups[i];
                flags_[at] = flags[i];
            }
        }
    }

    std::vector<std::uint64_t> groups_;
    std::vector<std::uint8_t> flags_;
    std::size_t used_ = 0;
};

}  // namespace kestrava::archive
