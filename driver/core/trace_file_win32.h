// The trace's file and clock: lines appended to a file as they come, stamped with the performance
// counter (under Wine the raw monotonic clock in 100 ns ticks, the clock the harness reads on Linux).
#pragma once

#include "base/unique_handle_win32.h"
#include "driver/core/driver_trace.h"

#include <memory>
#include <string>

namespace qvl {

// The environment variable that turns the trace on: the file to append to.
constexpr const char* kTraceVariable = "QVL2RS_TRACE";

class Win32TraceFile final : public TraceWriter {
public:
    // The file named by the environment variable, opened for appending (a driver that reloads goes
    // on in the same file); null when the variable is not set or the file cannot be opened.
    static std::unique_ptr<Win32TraceFile> FromEnvironment();
    explicit Win32TraceFile(KernelHandle file);

    std::int64_t Now() override;
    std::int64_t Frequency() override { return frequency_; }
    void Write(const std::string& line) override;

private:
    KernelHandle file_;
    std::int64_t frequency_ = 0;
};

} // namespace qvl
