#include "win_test_support.h"

#include "base/module_path_win32.h"

#include <vector>

namespace qvl::wintest {

std::string ProgramFolder() {
    return ModuleFolder(nullptr);
}

ChildProcess::~ChildProcess() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool ChildProcess::Start(const std::string& program, const std::string& arguments) {
    const std::string path = program.find('\\') == std::string::npos ? ProgramFolder() + program : program;
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info_) != 0;
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs) {
    if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments, DWORD timeoutMs) {
    ChildProcess child;
    if (!child.Start(program, arguments))
        return std::nullopt;
    return child.Wait(timeoutMs);
}

} // namespace qvl::wintest
