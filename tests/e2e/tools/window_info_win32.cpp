#include "window_info_win32.h"

#include "base/unique_handle_win32.h"

#include <tlhelp32.h>

#include <vector>

namespace qvl::e2e {

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string WindowTextOf(HWND window) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) == 0) {
        char text[256] = {};
        const int copied = GetWindowTextA(window, text, sizeof text);
        return std::string(text, copied > 0 ? static_cast<std::size_t>(copied) : 0);
    }
    std::vector<char> text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    return std::string(text.data(), copied < text.size() ? copied : text.size() - 1);
}

std::string ProcessFileName(DWORD processId) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid())
        return {};
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == processId)
            return entry.szExeFile;
    }
    return {};
}

POINT ClientOrigin(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

} // namespace qvl::e2e
