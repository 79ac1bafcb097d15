// qvl_watch: the message-box watcher. Finds the visible dialogs of every program, logs what they
// say and answers them by the rules of its command line (watch_options.h, watch_rules.h), so a
// scenario can run programs that ask questions. Ends on its stop event or stop file; it holds no
// hooks, so ending it by force harms no one.
#include "dialog_actions_win32.h"
#include "dialog_reader_win32.h"
#include "log_file_win32.h"
#include "performance_count_win32.h"
#include "stop_signal_win32.h"
#include "watch_options.h"
#include "window_info_win32.h"

#include <cstdio>
#include <map>

namespace {

using namespace qvl::e2e;

struct SeenDialog {
    long long firstSeenMs = 0;
    bool handled = false;
};

long long NowMs() {
    return static_cast<long long>(GetTickCount64());
}

class Watcher {
public:
    Watcher(const WatchOptions& options, LogFile& log) : options_(options), log_(log), used_(options.rules.size(), 0) {}

    // One look at the desktop: new dialogs noted, settled ones answered, vanished ones logged.
    void Poll() {
        const long long now = NowMs();
        std::map<HWND, SeenDialog> current;
        for (HWND dialog : VisibleDialogs()) {
            auto known = seen_.find(dialog);
            SeenDialog state = known != seen_.end() ? known->second : SeenDialog{now, false};
            if (!state.handled && now - state.firstSeenMs >= options_.settleMs) {
                Answer(dialog);
                state.handled = true;
            }
            current[dialog] = state;
        }
        for (const auto& [dialog, state] : seen_) {
            if (state.handled && current.find(dialog) == current.end())
                log_.Write(LogLine("closed").Number("t", PerformanceCount()).Hex("hwnd", HandleValue(dialog)));
        }
        seen_ = std::move(current);
    }

private:
    void Answer(HWND dialog) {
        const DialogInfo info = ReadDialog(dialog);
        LogDialog(log_, dialog, info);
        const std::optional<std::size_t> rule = ChooseRule(options_.rules, used_, info);
        if (!rule) {
            log_.Write(LogLine("unmatched").Number("t", PerformanceCount()).Hex("hwnd", HandleValue(dialog)));
            return;
        }
        ++used_[*rule];
        log_.Write(LogLine("rule")
                       .Number("t", PerformanceCount())
                       .Hex("hwnd", HandleValue(dialog))
                       .Number("index", static_cast<long long>(*rule) + 1));
        const bool done = AnswerDialog(log_, dialog, info, options_.rules[*rule]);
        log_.Write(
            LogLine("answered").Number("t", PerformanceCount()).Hex("hwnd", HandleValue(dialog)).Number("ok", done));
    }

    const WatchOptions& options_;
    LogFile& log_;
    std::vector<int> used_;
    std::map<HWND, SeenDialog> seen_;
};

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<WatchOptions> options = ParseWatchOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "qvl_watch: %s\n", error.c_str());
        return 2;
    }
    LogFile log;
    if (!log.Open(options->logPath)) {
        std::fprintf(stderr, "qvl_watch: cannot write %s (error %lu)\n", options->logPath.c_str(), GetLastError());
        return 2;
    }
    StopSignal stop;
    if (!options->stopEvent.empty() && !stop.WatchEvent(options->stopEvent)) {
        std::fprintf(stderr, "qvl_watch: cannot use the event %s\n", options->stopEvent.c_str());
        return 2;
    }
    stop.WatchFile(options->stopFile);
    log.Write(LogLine("start")
                  .Number("pid", GetCurrentProcessId())
                  .Number("rules", static_cast<long long>(options->rules.size()))
                  .Number("qpcfreq", PerformanceFrequency()));

    Watcher watcher(*options, log);
    const char* reason = nullptr;
    while ((reason = stop.Asked()) == nullptr) {
        watcher.Poll();
        HANDLE event = stop.Event();
        if (event != nullptr)
            WaitForSingleObject(event, static_cast<DWORD>(options->pollMs));
        else
            Sleep(static_cast<DWORD>(options->pollMs));
    }
    log.Write(LogLine("stop").Number("t", PerformanceCount()).Word("reason", reason));
    log.Write(LogLine("end").Number("t", PerformanceCount()).Number("status", 0));
    return 0;
}
