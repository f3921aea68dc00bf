// The line splitter of download files: a line ends at CR or CR LF (the line end is
// not part of the line; a lone LF is), and text after the last line end is a last
// line. The file arrives in pieces; a line split over pieces is handed over whole.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

namespace kestrava {

class LineSplitter {
public:
    // A line longer than longestLine bytes is not collected: the splitter stops at it
    // (see tooLong()), so it never holds more than that much of one line.
    explicit LineSplitter(std::size_t longestLine = std::numeric_limits<std::size_t>::max())
        : longestLine_(longestLine)
    { }
    ~LineSplitter() { std::free(carry_); }
    LineSplitter(const LineSplitter&) = delete;
    LineSplitter& operator=(const LineSplitter&) = delete;

    // Calls line(std::string_view) for every line completed by piece, in order, while
    // it returns true. Returns false once line has returned false or a line has turned
    // out too long.
    template <typename LineHandler>
    bool feed(std::string_view piece, LineHandler&& line)
    {
        if (tooLong_)
            return false;
        std::size_t i = 0;
        const std::size_t n = piece.size();
        if (pendingCR_ && n > 0) {
            if (piece[0] == '\n')
                i = 1;
            pendingCR_ = false;
        }
        while (i < n) {
            const void* found = std::memchr(piece.data() + i, '\r', n - i);
            const std::size_t cr =
                found ? std::size_t(static_cast<const char*>(found) - piece.data()) : n;
            if (cr - i > longestLine_ - carrySize_) {
                tooLong_ = true;
                releaseCarry();
                return false;
            }
            if (!found) {
                carry(piece.data() + i, n - i);
                return true;
            }
            bool going;
            ++lines_;
            if (carrySize_ == 0) {
                going = line(piece.substr(i, cr - i));
            } else {
                carry(piece.data() + i, cr - i);
                going = line(std::string_view(carry_, carrySize_));
                clearCarry();
            }
            i = cr + 1;
            if (i < n) {
                if (piece[i] == '\n')
                    ++i;
            } else {
                pendingCR_ = true;
            }
            if (!going)
                return false;
        }
        return true;
    }

    // Ends the input: hands over the text after the last line end, if any.
    template <typename LineHandler>
    void finish(LineHandler&& line)
    {
        if (carrySize_ > 0 && !tooLong_) {
            ++lines_;
            line(std::string_view(carry_, carrySize_));
        }
        releaseCarry();
        pendingCR_ = false;
    }

    // The start of the line not yet ended.
    std::string_view pending() const { return {carry_, carrySize_}; }

    // True once a line longer than the longest allowed has been met; it is line
    // lines() + 1.
    bool tooLong() const { return tooLong_; }
    std::uint64_t lines() const { return lines_; }
    std::size_t longestLine() const { return longestLine_; }

private:
    // The start of a line that continues in the next piece. Grown with realloc, which
    // for large blocks moves pages instead of copying them, so a long line costs about
    // its own size while it is collected.
    void carry(const char* bytes, std::size_t count)
    {
        if (count == 0)
            return;
        if (carryCapacity_ - carrySize_ < count) {
            std::size_t capacity = carryCapacity_ ? carryCapacity_ : 4096;
            while (capacity - carrySize_ < count)
                capacity = capacity > std::numeric_limits<std::size_t>::max() / 2
                               ? carrySize_ + count
                               : capacity * 2;
            void* grown = std::realloc(carry_, capacity);
            if (!grown)
                throw std::bad_alloc();
            carry_ = static_cast<char*>(grown);
            carryCapacity_ = capacity;
        }
        std::memcpy(carry_ + carrySize_, bytes, count);
        carrySize_ += count;
    }

    // After a long line the buffer is given back rather than kept for the rest of the
    // file.
    void clearCarry()
    {
        if (carryCapacity_ > kKeptCapacity)
            releaseCarry();
        carrySize_ = 0;
    }

    void releaseCarry()
    {
        std::free(carry_);
        carry_ = nullptr;
        carrySize_ = 0;
        carryCapacity_ = 0;
    }

    static constexpr std::size_t kKeptCapacity = std::size_t(4) << 20;

    char* carry_ = nullptr;
    std::size_t carrySize_ = 0;
    std::size_t carryCapacity_ = 0;
    std::size_t longestLine_;
    std::uint64_t lines_ = 0;
    bool pendingCR_ = false;
    bool tooLong_ = false;
};

}  // namespace kestrava
