#pragma once
// The check every fuzz target uses: a broken promise prints what was promised and aborts, which
// libFuzzer reports as a crash together with the input.
#include <cstdio>
#include <cstdlib>

#define ZIB_FUZZ_CHECK(condition, what)                                                    \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, what); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
