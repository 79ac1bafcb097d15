// The checks the fuzz targets share. When an invariant breaks a target says which one and aborts, so
// that libFuzzer keeps the input as a finding.
#pragma once

#include "model/keyset_record.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qvl::fuzz {

inline void Require(bool holds, const char* invariant) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

// Whether every string field of a keyset ends within itself.
template <std::size_t N> bool Ended(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}
inline bool StringsEnded(const KeysetRecord& record) {
    bool ended = Ended(record.header.appName);
    for (const BankRecord& bank : record.banks)
        for (const ControlAssignment& a : bank.controls)
            ended = ended && Ended(a.windowTitle) && Ended(a.windowClass) && Ended(a.controlName);
    return ended;
}

} // namespace qvl::fuzz
