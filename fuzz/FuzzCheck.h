#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks: when it fails, the input is reported as a
// crash and kept by libFuzzer as an artifact.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

#include <string>

// An error's text as `what()` gives it: it ends at the first NUL, so a text
// read from a damaged file with NUL bytes shows only up to there, as any C
// string does in a message box.
inline std::string AsShown(const std::string& text) {
    return text.c_str();
}
