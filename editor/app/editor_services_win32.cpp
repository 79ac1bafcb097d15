#include "editor/app/editor_services_win32.h"

namespace qvl {

std::string SystemTextCase::Lower(const std::string& text) const {
    std::string lower = text;
    if (!lower.empty())
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

bool RunKeyEntry::Write(const std::string& commandLine) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    // The stored length counts the terminating zero.
    const LONG result =
        RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine.c_str()),
                       static_cast<DWORD>(commandLine.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RunKeyEntry::Remove() {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const LONG result = RegDeleteValueA(key, kRunValueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace qvl
