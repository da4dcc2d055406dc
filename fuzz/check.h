#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep; a broken one ends the run as a crash,
// which libFuzzer saves as an artifact.
inline void expect(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
