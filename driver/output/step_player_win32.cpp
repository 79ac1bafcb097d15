#include "driver/output/step_player_win32.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

namespace qvl {

Win32PlayerLoop::Win32PlayerLoop() : wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        frequency_ = frequency.QuadPart;
}

Win32PlayerLoop::~Win32PlayerLoop() {
    Stop();
}

bool Win32PlayerLoop::Start(CStepPlayer& player) {
    if (!wake_ || thread_.joinable())
        return false;
    stopping_ = false;
    thread_ = std::thread([this, &player] { Loop(player); });
    return true;
}

void Win32PlayerLoop::Stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    Wake();
    thread_.join();
}

std::uint64_t Win32PlayerLoop::NowMs() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<std::uint64_t>(count.QuadPart / frequency_ * 1000 +
                                      count.QuadPart % frequency_ * 1000 / frequency_);
}

void Win32PlayerLoop::Wake() {
    if (wake_)
        SetEvent(wake_.Get());
}

void Win32PlayerLoop::Loop(CStepPlayer& player) {
    // While something is due the system's timer runs at 1 ms, so that waits and repeats keep their time
    // (its default tick is about 16 ms); idle, it is left alone.
    bool fineTimer = false;
    while (!stopping_.load()) {
        const std::optional<std::uint64_t> due = player.Run();
        if (due.has_value() != fineTimer) {
            fineTimer = due.has_value();
            if (fineTimer)
                timeBeginPeriod(1);
            else
                timeEndPeriod(1);
        }
        DWORD timeout = INFINITE;
        if (due) {
            const std::uint64_t now = NowMs();
            // A far due (none is: a wait is at most 10 s) wakes early and looks again.
            timeout = *due > now ? static_cast<DWORD>(std::min<std::uint64_t>(*due - now, 60000)) : 0;
        }
        if (timeout != 0)
            WaitForSingleObject(wake_.Get(), timeout);
    }
    if (fineTimer)
        timeEndPeriod(1);
}

} // namespace qvl
