// A growable byte buffer that hands out raw space to write into, so that hot loops
// can copy bytes without a capacity check per piece.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace kestrava {

class OutputBuffer {
public:
    // Space for at least `more` bytes after the current end; write into it, then
    // call commit() with the end of what was written.
    char* reserve(std::size_t more)
    {
        if (capacity_ - size_ < more) {
            std::size_t capacity = capacity_ ? capacity_ : 4096;
            while (capacity - size_ < more)
                capacity *= 2;
            std::unique_ptr<char[]> data(new char[capacity]);
            if (size_)
                std::memcpy(data.get(), data_.get(), size_);
            data_ = std::move(data);
            capacity_ = capacity;
        }
        return data_.get() + size_;
    }
    void commit(const char* end) { size_ = std::size_t(end - data_.get()); }

    void append(std::string_view bytes)
    {
        char* p = reserve(bytes.size());
        if (!bytes.empty())
            std::memcpy(p, bytes.data(), bytes.size());
        size_ += bytes.size();
    }

    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace kestrava
