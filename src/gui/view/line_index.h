// Where each line of a text starts, found in one pass over the text. A line ends at
// CR LF (as listing files are written), a lone LF or a lone CR; the end of the text
// ends the last line, which is empty when the text ends with a line end (as a text
// box shows it).
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

class LineIndex {
public:
    LineIndex() : starts_{0}, lengths_{0} {}

    // Indexes a text of single-byte characters (a code page) or of UTF-16 units.
    static LineIndex ofBytes(const char* data, std::size_t size);
    static LineIndex ofUnits(const char16_t* data, std::size_t size);

    // Always at least one line (an empty text is one empty line).
    std::size_t lineCount() const { return starts_.size(); }

    // Where line `line` starts and how many characters it holds without its line end.
    std::size_t start(std::size_t line) const { return starts_[line]; }
    std::size_t length(std::size_t line) const { return lengths_[line]; }

    // The line that holds character `offset` (a line end counts to its line).
    std::size_t lineAt(std::size_t offset) const
    {
        return std::size_t(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                           starts_.begin()) - 1;
    }

    // The length of the longest line, in characters.
    std::size_t longest() const { return longest_; }

private:
    template <typename Unit>
    static LineIndex build(const Unit* data, std::size_t size);
    void add(std::size_t start, std::size_t end);

    std::vector<std::size_t> starts_;
    std::vector<std::size_t> lengths_;
    std::size_t longest_ = 0;
};
