// Where each line of a text starts: 8 bytes a line, kept in blocks so that an index
// of millions of lines grows without copying. A line ends at CR LF (as listing files
// are written), a lone LF or a lone CR; the end of the text ends the last line, which
// is empty when the text ends with a line end (as a text box shows it).
//
// The starts come from whoever writes the text (the listing run reports where every
// line it writes starts) or are found in the text by LineStartFinder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class LineIndex {
public:
    // One line, starting at 0.
    LineIndex() { add(0); }
    LineIndex(LineIndex&&) noexcept = default;
    LineIndex& operator=(LineIndex&&) noexcept = default;

    // A line starting at `start`; a start not after the last one is ignored (the
    // first line always starts at 0). Several starts are given in ascending order.
    void add(std::uint64_t start);
    void add(const std::uint64_t* starts, std::size_t count);

    // Always at least one line.
    std::size_t lineCount() const { return count_; }
    std::uint64_t start(std::size_t line) const
    {
        return blocks_[line >> kBlockShift][line & (kBlockSize - 1)];
    }
    std::uint64_t lastStart() const { return start(count_ - 1); }

    // The line that is furthest from the next line's start (0 for a single line).
    std::size_t widestLine() const;

    // The line that holds character `offset` (a line end counts to its line).
    std::size_t lineAt(std::uint64_t offset) const;

    // The lines of a whole text of single-byte characters or of UTF-16 units.
    static LineIndex ofBytes(const char* data, std::size_t size);
    static LineIndex ofUnits(const char16_t* data, std::size_t size);

private:
    static constexpr unsigned kBlockShift = 16;
    static constexpr std::size_t kBlockSize = std::size_t(1) << kBlockShift;

    std::vector<std::unique_ptr<std::uint64_t[]>> blocks_;
    std::size_t count_ = 0;
};

// Finds the line starts of a text that arrives in pieces (a CR at the end of one
// piece and an LF at the start of the next are one line end).
class LineStartFinder {
public:
    void feed(const char* data, std::size_t size);
    void feed(const char16_t* data, std::size_t size);
    // The text has ended: a CR left at its end ends a line.
    LineIndex finish();

private:
    template <typename Unit>
    void scan(const Unit* data, std::size_t size);

    LineIndex index_;
    std::uint64_t offset_ = 0;  // of the next piece
    bool pendingCr_ = false;  // the last piece ended with a CR
};
