#include "core/archive/import_keys.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace kestrava::archive {

SortedEntries::SortedEntries(std::span<KeyEntry> entries)
{
    // Fewer are sorted at once: a thread costs more than it saves.
    constexpr std::size_t kSplitFrom = std::size_t(1) << 16;
    if (entries.size() < kSplitFrom) {
        std::sort(entries.begin(), entries.end());
        first_ = entries;
        return;
    }
    first_ = entries.first(entries.size() / 2);
    second_ = entries.subspan(first_.size());
    std::thread other;
    try {
        other = std::thread([this] { std::sort(second_.begin(), second_.end()); });
    } catch (const std::system_error&) {
        std::sort(second_.begin(), second_.end());  // no thread to be had
    }
    std::sort(first_.begin(), first_.end());
    if (other.joinable())
        other.join();
}

}  // namespace kestrava::archive
