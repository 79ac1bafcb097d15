#include "editor/app/editor_services_win32.h"

#include <vector>

namespace qvl {

void OwnedMessageBoxes::Show(const char* text, const char* caption, MessageIcon icon) {
    UINT style = MB_OK;
    if (icon == MessageIcon::kWarning)
        style |= MB_ICONWARNING;
    MessageBoxA(owner_ ? owner_() : nullptr, text, caption != nullptr ? caption : title_.c_str(), style);
}

bool OwnedMessageBoxes::Ask(const std::string& text) {
    return MessageBoxA(owner_ ? owner_() : nullptr, text.c_str(), title_.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
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

std::string ModulePath(HMODULE module) {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        // A path that filled the buffer may have been cut.
        if (length < path.size() - 1 || path.size() >= 32768)
            return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

} // namespace qvl
