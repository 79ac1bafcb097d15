// A trace's file and clock: lines appended to a file as they come, stamped with the performance
// counter (under Wine the raw monotonic clock in 100 ns ticks, the clock the harness reads on Linux).
// Each program turns its trace on with an environment variable of its own that names the file.
#pragma once

#include "base/trace_line.h"
#include "base/unique_handle_win32.h"

#include <memory>
#include <string>

namespace qvl {

class Win32TraceFile final : public TraceWriter {
public:
    // The file named by environment variable `variable`, opened for appending (a program that starts
    // again goes on in the same file); null when the variable is not set or the file cannot be opened.
    static std::unique_ptr<Win32TraceFile> FromEnvironment(const char* variable);
    explicit Win32TraceFile(KernelHandle file);

    std::int64_t Now() override;
    std::int64_t Frequency() override { return frequency_; }
    void Write(const std::string& line) override;

private:
    KernelHandle file_;
    std::int64_t frequency_ = 0;
};

} // namespace qvl
