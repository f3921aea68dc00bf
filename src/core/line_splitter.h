// The line splitter of download files: a line ends at CR or CR LF (the line end is
// not part of the line; a lone LF is), and text after the last line end is a last
// line. The file arrives in pieces; a line split over pieces is handed over whole.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace kestrava {

class LineSplitter {
public:
    // Calls line(std::string_view) for every line completed by piece, in order, while
    // it returns true. Returns false once line has returned false.
    template <typename LineHandler>
    bool feed(std::string_view piece, LineHandler&& line)
    {
        std::size_t i = 0;
        const std::size_t n = piece.size();
        if (pendingCR_ && n > 0) {
            if (piece[0] == '\n')
                i = 1;
            pendingCR_ = false;
        }
        while (i < n) {
            const void* found = std::memchr(piece.data() + i, '\r', n - i);
            if (!found) {
                carry_.append(piece.data() + i, n - i);
                return true;
            }
            const std::size_t cr = std::size_t(static_cast<const char*>(found) - piece.data());
            bool going;
            if (carry_.empty()) {
                going = line(piece.substr(i, cr - i));
            } else {
                carry_.append(piece.data() + i, cr - i);
                going = line(std::string_view(carry_));
                carry_.clear();
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
        if (!carry_.empty())
            line(std::string_view(carry_));
        carry_.clear();
        pendingCR_ = false;
    }

    // The start of the line not yet ended.
    std::string_view pending() const { return carry_; }

private:
    std::string carry_;
    bool pendingCR_ = false;
};

}  // namespace kestrava
