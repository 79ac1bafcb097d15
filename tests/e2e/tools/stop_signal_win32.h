// How the harness asks a tool to end cleanly: a named event it sets, or a file it creates. A tool
// that holds low-level hooks must end this way (or on WM_CLOSE): a killed hook process can leave
// another process's hook broken.
#pragma once

#include "base/unique_handle_win32.h"

#include <string>

namespace qvl::e2e {

class StopSignal {
public:
    StopSignal() = default;
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Creates (or opens) the manual-reset event `eventName`; false when the name cannot be used.
    bool WatchEvent(const std::string& eventName);
    void WatchFile(const std::string& path) { file_ = path; }

    // The event to wait on beside the message queue; null when none was given.
    HANDLE Event() const { return event_.Get(); }
    // "event" or "file" once a stop was asked for; nullptr otherwise.
    const char* Asked() const;

private:
    KernelHandle event_;
    std::string file_;
};

} // namespace qvl::e2e
