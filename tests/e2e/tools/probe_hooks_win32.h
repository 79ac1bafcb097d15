// The probe's low-level keyboard and mouse hooks: every event that enters the session's input
// stream, injected or not, in the order the system delivers it.
#pragma once

#include "log_file_win32.h"

#include <windows.h>

namespace qvl::e2e {

class LowLevelHooks {
public:
    explicit LowLevelHooks(LogFile& log) : log_(log) {}
    LowLevelHooks(const LowLevelHooks&) = delete;
    LowLevelHooks& operator=(const LowLevelHooks&) = delete;
    ~LowLevelHooks() { Remove(); }

    // Both hooks or neither. Only one object of a process can hold them.
    bool Install();
    // Unhook; logs "unhooked" once.
    void Remove();

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);

    // A low-level hook procedure gets no context value, so the one installed owner is found here.
    static LowLevelHooks* installed_;

    LogFile& log_;
    HHOOK keyboard_ = nullptr;
    HHOOK mouse_ = nullptr;
};

} // namespace qvl::e2e
