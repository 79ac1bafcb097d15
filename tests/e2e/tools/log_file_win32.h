// A tool's log: one line per event, written through to the file at once so the harness, reading
// the same file from Linux, sees every line as soon as the event happened.
#pragma once

#include "base/unique_handle_win32.h"
#include "log_line.h"

#include <string>

namespace qvl::e2e {

class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Creates or empties the file; others may read it (and delete it) while it is open.
    bool Open(const std::string& path);
    // Also print every line on standard output (for a person running the tool by hand).
    void EchoToStdout(bool echo) { echo_ = echo; }
    void Write(const LogLine& line);

private:
    KernelHandle file_;
    bool echo_ = false;
};

} // namespace qvl::e2e
