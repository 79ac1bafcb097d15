// How the serial link tells about failed system calls: a text for the debugger output and a message
// box, and, for the failures it cannot go on from, the end of the process. The Win32 adapter does
// exactly that; tests record the calls instead of showing boxes or ending.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace qvl {

class ErrorReporter {
public:
    ErrorReporter() = default;
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;
    virtual ~ErrorReporter() = default;

    virtual void DebugOutput(const std::string& text) = 0;
    // A message box with an OK button; `caption` null gives the system's default caption. The box
    // may still be open when this returns: the reader thread must go on reading meanwhile.
    virtual void ShowMessage(const std::string& text, const char* caption) = 0;
    // End the process with `exitCode`, once the user has seen the boxes still open.
    virtual void EndProcess(int exitCode) = 0;
};

// "Error <code>: <call>.\n\r<system text>\r\n", the report of a failed call.
std::string FormatErrorReport(std::uint32_t code, const std::string& call, const std::string& systemText);

// Decides which reports get a message box: the first failure of each call with each error code on one
// connection. A call that keeps failing (a status wait, clearing the line's error state every half
// second) would otherwise stack one box on another for as long as the port stays broken.
class ReportThrottle {
public:
    // True the first time `call` fails with `code` since the last Reset.
    bool FirstTime(const std::string& call, std::uint32_t code);
    void Reset();

private:
    std::mutex lock_;
    std::set<std::pair<std::string, std::uint32_t>> shown_;
};

} // namespace qvl
