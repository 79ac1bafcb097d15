// What Windows tests share: finding the helper programs built beside them and running them as
// separate processes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qvl::wintest {

// The folder of the running test program, with its trailing backslash.
std::string ProgramFolder();

// A child process that is ended and closed with its owner.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Start `program` (a file name beside the test program, or a full path) with `arguments`.
    bool Start(const std::string& program, const std::string& arguments = "");
    // Wait for the end; the exit code, or nothing on time-out.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// Run a helper program to its end; its exit code, or nothing when it could not start or did not end.
std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments, DWORD timeoutMs = 20000);

} // namespace qvl::wintest
