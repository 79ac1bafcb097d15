#include "driver/output/process_list_win32.h"

#include "base/text_conversion_win32.h"
#include "base/unique_handle_win32.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

namespace qvl {

namespace {

constexpr const char* kPerflibKey = "software\\microsoft\\windows nt\\currentversion\\perflib";
constexpr const char* kPerflibEnglishKey = "software\\microsoft\\windows nt\\currentversion\\perflib\\009";

using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using ThreadWalkFunction = BOOL(WINAPI*)(HANDLE, THREADENTRY32*);

// Entry points found by name; the detour through void(*)() is the portable way to convert them.
template <class Function> Function Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

long Win32PerformanceRegistry::QueryValue(Key key, const char* name, unsigned char* buffer, std::uint32_t& size) {
    DWORD length = size;
    if (key == kPerformanceData) {
        const LONG status = RegQueryValueExA(HKEY_PERFORMANCE_DATA, name, nullptr, nullptr, buffer, &length);
        // Closing the key lets the system release what it gathered for the query.
        RegCloseKey(HKEY_PERFORMANCE_DATA);
        size = length;
        return status;
    }
    HKEY handle = nullptr;
    const LONG openStatus =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key == kPerflib ? kPerflibKey : kPerflibEnglishKey, 0, KEY_READ, &handle);
    if (openStatus != ERROR_SUCCESS)
        return openStatus;
    const RegistryKey opened(handle);
    const LONG status = RegQueryValueExA(opened.Get(), name, nullptr, nullptr, buffer, &length);
    size = length;
    return status;
}

bool Win32ProcessSnapshots::Take(std::vector<SnapshotProcess>& processes) {
    // Windows 95 and 98 have these functions only in KERNEL32.DLL and NT 4 not at all, so they are
    // found at run time; the thread functions are part of the set that must be there.
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr)
        return false;
    auto createSnapshot = Lookup<CreateSnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    auto processFirst = Lookup<ProcessWalkFunction>(kernel, "Process32First");
    auto processNext = Lookup<ProcessWalkFunction>(kernel, "Process32Next");
    auto threadFirst = Lookup<ThreadWalkFunction>(kernel, "Thread32First");
    auto threadNext = Lookup<ThreadWalkFunction>(kernel, "Thread32Next");
    if (createSnapshot == nullptr || processFirst == nullptr || processNext == nullptr || threadFirst == nullptr ||
        threadNext == nullptr)
        return false;

    SnapshotHandle snapshot(createSnapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry; // 296 bytes in 32-bit programs, 304 in 64-bit ones
    if (!processFirst(snapshot.Get(), &entry))
        return false;
    do {
        const void* end = std::memchr(entry.szExeFile, '\0', sizeof entry.szExeFile);
        const std::size_t length = end != nullptr
                                       ? static_cast<std::size_t>(static_cast<const char*>(end) - entry.szExeFile)
                                       : sizeof entry.szExeFile;
        processes.push_back({std::string(entry.szExeFile, length), entry.th32ProcessID});
        entry.dwSize = sizeof entry;
    } while (processNext(snapshot.Get(), &entry));
    return true;
}

std::string Win32AnsiCodePage::FromUtf16(const char16_t* text, std::size_t length) const {
    return Utf16ToAnsi(text, length);
}

} // namespace qvl
