// The fuzz targets' assertion: a failed condition stops the run with its
// text and line, so that the fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define require(condition)                                                       \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                        \
        }                                                                        \
    } while (false)
