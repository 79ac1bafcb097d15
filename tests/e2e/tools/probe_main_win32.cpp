// qvl_probe: the window a scenario makes the program in front. It records, in order, every input
// event it sees through low-level hooks and what its own windows received; see probe_options.h for
// the command line. Ends cleanly (unhooked) on WM_CLOSE, on its stop event or when its stop file
// appears.
#include "log_file_win32.h"
#include "performance_count_win32.h"
#include "probe_hooks_win32.h"
#include "probe_options.h"
#include "probe_window_win32.h"
#include "stop_signal_win32.h"

#include <cstdio>

namespace {

using namespace qvl::e2e;

// How often the stop file is looked for while no message arrives.
constexpr DWORD kStopPollMs = 50;

// Pumps messages until the main window is gone or a stop is asked for; the stop reason, or nullptr
// when the window closed.
const char* RunLoop(const StopSignal& stop) {
    HANDLE event = stop.Event();
    for (;;) {
        MsgWaitForMultipleObjects(event != nullptr ? 1 : 0, &event, FALSE, kStopPollMs, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return nullptr;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (const char* reason = stop.Asked())
            return reason;
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<ProbeOptions> options = ParseProbeOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "qvl_probe: %s\n", error.c_str());
        return 2;
    }
    LogFile log;
    if (!log.Open(options->logPath)) {
        std::fprintf(stderr, "qvl_probe: cannot write %s (error %lu)\n", options->logPath.c_str(), GetLastError());
        return 2;
    }
    StopSignal stop;
    if (!options->stopEvent.empty() && !stop.WatchEvent(options->stopEvent)) {
        std::fprintf(stderr, "qvl_probe: cannot use the event %s\n", options->stopEvent.c_str());
        return 2;
    }
    stop.WatchFile(options->stopFile);
    log.Write(LogLine("start")
                  .Number("pid", GetCurrentProcessId())
                  .Number("tid", GetCurrentThreadId())
                  .Number("qpcfreq", PerformanceFrequency()));

    int status = 0;
    {
        LowLevelHooks hooks(log);
        ProbeWindow window(*options, log, stop);
        if (options->hooks && !hooks.Install()) {
            std::fprintf(stderr, "qvl_probe: cannot install the hooks (error %lu)\n", GetLastError());
            status = 3;
        } else if (!window.Create()) {
            std::fprintf(stderr, "qvl_probe: cannot create the windows (error %lu)\n", GetLastError());
            status = 3;
        } else {
            if (const char* reason = RunLoop(stop))
                log.Write(LogLine("stop").Number("t", PerformanceCount()).Word("reason", reason));
        }
        // The hooks go first: a window destroyed while hooked still gets input for a moment.
        hooks.Remove();
    }
    log.Write(LogLine("end").Number("t", PerformanceCount()).Number("status", status));
    return status;
}
