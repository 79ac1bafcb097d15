#include "base/trace_file_win32.h"

#include <windows.h>

#include <vector>

namespace qvl {

std::unique_ptr<Win32TraceFile> Win32TraceFile::FromEnvironment(const char* variable) {
    const DWORD length = GetEnvironmentVariableA(variable, nullptr, 0);
    if (length == 0)
        return nullptr;
    std::vector<char> path(length + 1);
    if (GetEnvironmentVariableA(variable, path.data(), length + 1) == 0 || path[0] == '\0')
        return nullptr;
    // Others may read it while it grows (the harness follows it); appends go to the end, whoever
    // else has it open.
    KernelHandle file(CreateFileA(path.data(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    return std::make_unique<Win32TraceFile>(std::move(file));
}

Win32TraceFile::Win32TraceFile(KernelHandle file) : file_(std::move(file)) {
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency))
        frequency_ = frequency.QuadPart;
}

std::int64_t Win32TraceFile::Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Win32TraceFile::Write(const std::string& line) {
    // One write per line, so a reader never sees half of one.
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace qvl
