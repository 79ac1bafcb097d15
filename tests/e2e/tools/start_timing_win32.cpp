#include "start_timing_win32.h"

#include "base/unique_handle_win32.h"
#include "log_line.h"
#include "performance_count_win32.h"
#include "window_info_win32.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace qvl::e2e {

namespace {

void Print(const LogLine& line) {
    std::printf("%s\n", line.Str().c_str());
    std::fflush(stdout);
}

HWND FindTopLevel(const std::string& className, DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className.c_str(), nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, className.c_str(), nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

HWND FindDescendant(HWND parent, int id) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == id)
            return child;
        if (HWND inner = FindDescendant(child, id))
            return inner;
    }
    return nullptr;
}

long long MicrosecondsBetween(long long from, long long to) {
    return (to - from) * 1000000 / PerformanceFrequency();
}

struct Started {
    KernelHandle process;
    DWORD processId = 0;
    long long at = 0;
};

bool Start(const std::string& program, Started& started) {
    std::vector<char> commandLine;
    const std::string quoted = "\"" + program + "\"";
    commandLine.assign(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    started.at = PerformanceCount();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        std::fprintf(stderr, "qvl_window start-time: cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    started.process = KernelHandle(info.hProcess);
    started.processId = info.dwProcessId;
    return true;
}

// Polls every millisecond, without starting anything, until the control shows the text; the frame
// found on the way is left in `frame`.
bool WaitForText(const StartTimingRequest& request, const Started& started, HWND& frame) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(request.timeoutMs);
    HWND control = nullptr;
    while (GetTickCount64() < deadline) {
        if (WaitForSingleObject(started.process.Get(), 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "qvl_window start-time: the program ended before it showed the text\n");
            return false;
        }
        if (frame == nullptr) {
            frame = FindTopLevel(request.frameClass, started.processId);
            if (frame != nullptr)
                Print(LogLine("window").Number("t", PerformanceCount()).Hex("hwnd", HandleValue(frame)));
        }
        if (frame != nullptr && control == nullptr)
            control = FindDescendant(frame, request.controlId);
        if (control != nullptr && WindowTextOf(control) == request.text) {
            const long long now = PerformanceCount();
            Print(LogLine("shown").Number("t", now).Number("us", MicrosecondsBetween(started.at, now)));
            return true;
        }
    }
    std::fprintf(stderr, "qvl_window start-time: the text did not show within %d ms\n", request.timeoutMs);
    return false;
}

} // namespace

int TimeStart(const StartTimingRequest& request) {
    Started started;
    if (!Start(request.program, started))
        return 1;
    Print(LogLine("started")
              .Number("t", started.at)
              .Number("frequency", PerformanceFrequency())
              .Number("pid", started.processId));
    HWND frame = nullptr;
    const bool shown = WaitForText(request, started, frame);
    if (frame != nullptr)
        PostMessageA(frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.process.Get(), 20000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "qvl_window start-time: the program did not end; ended it\n");
        TerminateProcess(started.process.Get(), 1);
        return 1;
    }
    DWORD status = 0;
    GetExitCodeProcess(started.process.Get(), &status);
    Print(LogLine("ended").Number("status", status));
    return shown ? 0 : 1;
}

} // namespace qvl::e2e
