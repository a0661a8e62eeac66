#pragma once
// The library is built with hidden symbols: a host reaches only the classes and functions
// marked TQ_EXPORT. Importing and exporting are the same attribute with GCC and clang.

#if defined(__GNUC__) || defined(__clang__)
#define TQ_EXPORT __attribute__((visibility("default")))
#else
#define TQ_EXPORT
#endif
