#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run with a report, like a sanitizer finding.
[[noreturn]] inline void FuzzFail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void FuzzCheck(bool holds, const char* what) {
    if (!holds) {
        FuzzFail(what);
    }
}
