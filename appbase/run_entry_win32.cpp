#include "appbase/run_entry_win32.h"

#include "base/unique_handle_win32.h"

namespace qvl {

bool RunKeyEntry::Write(const std::string& commandLine) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        return false;
    const RegistryKey key(created);
    // The stored length counts the terminating zero.
    const LONG result =
        RegSetValueExA(key.Get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine.c_str()),
                       static_cast<DWORD>(commandLine.size() + 1));
    return result == ERROR_SUCCESS;
}

bool RunKeyEntry::Remove() {
    HKEY handle = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &handle);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const RegistryKey key(handle);
    const LONG result = RegDeleteValueA(key.Get(), kRunValueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace qvl
