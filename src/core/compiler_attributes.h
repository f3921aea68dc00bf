// Compiler attributes the engine's hot loops ask for, spelled once for every compiler
// the program is built with (GCC and Clang, also for MinGW; MSVC).
//
// KESTRAVA_FORCE_INLINE in place of `inline` before a function: inlined wherever it is
// called, even where the compiler would rather not.
// KESTRAVA_LAMBDA_INLINE between a lambda's parameter list and its body: the same for
// the lambda's call (nothing under MSVC, which has no such attribute for lambdas).
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define KESTRAVA_FORCE_INLINE __attribute__((always_inline)) inline
#define KESTRAVA_LAMBDA_INLINE __attribute__((always_inline))
#elif defined(_MSC_VER)
#define KESTRAVA_FORCE_INLINE __forceinline
#define KESTRAVA_LAMBDA_INLINE
#else
#define KESTRAVA_FORCE_INLINE inline
#define KESTRAVA_LAMBDA_INLINE
#endif
