// What a fuzz target does when an invariant breaks: say which one, and abort, so that libFuzzer keeps
// the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace qvl::fuzz {

inline void Require(bool holds, const char* invariant) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

} // namespace qvl::fuzz
