// The changing keyset lists of the crash test, made the same way by the test and by the peer that
// saves them: list `step` of `seed` holds "Default" and about two thirds of 30 names, each keyset with
// a version that moves every one to four steps and shows in every value it has.
#pragma once

#include "model/keyset_store.h"

#include <cstdio>
#include <cstdint>
#include <string>

namespace qvl::wintest {

constexpr int kCrashNames = 30;
// The named block in which the peer tells the step it is about to save.
constexpr const char* kCrashStepBlock = "QVL2KeysetCrashStep";

inline std::uint32_t CrashHash(std::uint32_t seed, std::uint32_t step, std::uint32_t name) {
    std::uint32_t h = seed * 2654435761u ^ step * 2246822519u ^ name * 3266489917u;
    h ^= h >> 15;
    h *= 668265263u;
    return h ^ h >> 13;
}

// The keyset `name` (-1 for "Default") as list `step` holds it.
inline KeysetRecord CrashKeyset(const StringSource& names, int seed, int step, int name) {
    const std::string title = name < 0 ? "Default" : "crash" + std::to_string(name);
    const int period = 1 + static_cast<int>(CrashHash(seed, 0, name + 1) % 4);
    const int version = step / period;
    KeysetRecord record;
    InitKeyset(record, title.c_str(), version, names);
    for (int b = 0; b < kBankCount; ++b)
        for (int c = 0; c < kControlCount; ++c) {
            ControlAssignment& a = AssignmentAt(record, b, c);
            a.hotKeyVk = static_cast<std::uint16_t>(version);
            char text[64];
            std::snprintf(text, sizeof text, "%s version %d bank %d control %d", title.c_str(), version, b, c);
            CopyToField(a.windowTitle, text);
        }
    return record;
}

inline bool InCrashList(int seed, int step, int name) {
    return name < 0 || CrashHash(seed, step + 1, name + 1) % 3 != 0;
}

inline void FillCrashList(CKeysetStore& store, int seed, int step) {
    store.RemoveAll();
    for (int name = -1; name < kCrashNames; ++name)
        if (InCrashList(seed, step, name))
            store.Add(CrashKeyset(store.Names(), seed, step, name));
}

} // namespace qvl::wintest
