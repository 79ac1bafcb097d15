// The time stamp of every logged event: the performance counter, the same clock in every process of
// the session, so events of the probe and a driver's own trace can be put side by side.
#pragma once

#include <windows.h>

namespace qvl::e2e {

inline long long PerformanceCount() {
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline long long PerformanceFrequency() {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

} // namespace qvl::e2e
