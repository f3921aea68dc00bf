// A check that stays on in release builds: a broken invariant prints what broke and
// aborts, which libFuzzer reports as a crash and keeps the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, \
                         #condition);                                                \
            std::abort();                                                            \
        }                                                                            \
    } while (false)
