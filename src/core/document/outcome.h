// The result of an engine operation: either its value or what went wrong, never both.
#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace kestrava {

// Outcome<T, F>: holds a T when the operation succeeded, an F when it did not.
template <typename T, typename F>
class Outcome {
public:
    Outcome(T value) : held_(std::in_place_index<0>, std::move(value)) { }
    Outcome(F fault) : held_(std::in_place_index<1>, std::move(fault)) { }

    bool ok() const { return held_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const
    {
        assert(ok());
        return std::get<0>(held_);
    }
    const F& fault() const
    {
        assert(!ok());
        return std::get<1>(held_);
    }

private:
    std::variant<T, F> held_;
};

}  // namespace kestrava
