#pragma once
// What a fuzz target does when a property it checks does not hold: say which
// one and abort, so libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

namespace krvo::fuzz {

inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

}  // namespace krvo::fuzz
