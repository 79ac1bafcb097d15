#include "driver/core/toolhelp_process_source_win32.h"

#include <windows.h>

#include <tlhelp32.h>

namespace qvl {

namespace {

// "C:\Programs\Notepad.exe" -> "Notepad": the folder goes, and a four-character extension.
std::string FileTitle(const char* path) {
    std::string name(path);
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.size() > 4 && name[name.size() - 4] == '.')
        name.erase(name.size() - 4);
    return name;
}

class Snapshot {
public:
    Snapshot() : handle_(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

bool ToolhelpProcessSource::GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) {
    names.clear();
    ids.clear();
    Snapshot snapshot;
    if (snapshot.Get() == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        names.push_back(FileTitle(entry.szExeFile));
        ids.push_back(entry.th32ProcessID);
    }
    return true;
}

} // namespace qvl
