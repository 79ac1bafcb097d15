#include "model/registry_win32.h"

#include "base/unique_handle_win32.h"

#include <cstring>
#include <vector>
#include <windows.h>

namespace qvl {

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

HKEY ToHandle(Registry::Key key) {
    return key == Registry::kCurrentUser ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(key);
}

Registry::Key FromHandle(HKEY key) {
    return reinterpret_cast<Registry::Key>(key);
}

RegStatus Status(LONG result) {
    return result == ERROR_SUCCESS ? RegStatus() : RegStatus::Error(result);
}

// A value's name for the wide functions: the names are the program's own, in the ANSI code page as the
// "A" functions take them.
std::wstring WideName(const char* name) {
    const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

} // namespace

RegStatus Win32Registry::OpenKey(Key parent, const char* path, Key& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(ToHandle(parent), path, 0, kReadWrite, &opened);
    if (result != ERROR_SUCCESS)
        return RegStatus::Error(result);
    key = FromHandle(opened);
    return RegStatus();
}

RegStatus Win32Registry::CreateKey(Key parent, const char* path, Key& key) {
    HKEY created = nullptr;
    const LONG result = RegCreateKeyExA(ToHandle(parent), path, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite,
                                        nullptr, &created, nullptr);
    if (result != ERROR_SUCCESS)
        return RegStatus::Error(result);
    key = FromHandle(created);
    return RegStatus();
}

void Win32Registry::CloseKey(Key key) {
    if (key != kNoKey && key != kCurrentUser)
        RegCloseKey(ToHandle(key));
}

bool Win32Registry::QueryKeyInfo(Key key, std::uint32_t& subkeyCount, std::uint32_t& longestName) {
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(ToHandle(key), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    subkeyCount = count;
    longestName = longest;
    return true;
}

bool Win32Registry::EnumSubkey(Key key, std::uint32_t index, char* name, std::size_t size) {
    DWORD length = static_cast<DWORD>(size);
    return RegEnumKeyExA(ToHandle(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::size_t> Win32Registry::ReadValue(Key key, const char* name, void* buffer, std::size_t size) {
    DWORD stored = static_cast<DWORD>(size);
    const LONG result = RegQueryValueExA(ToHandle(key), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &stored);
    // ERROR_MORE_DATA reports the stored size without copying anything.
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return std::nullopt;
    return static_cast<std::size_t>(stored);
}

std::optional<std::uint32_t> Win32Registry::CountValues(Key key) {
    DWORD values = 0;
    if (RegQueryInfoKeyA(ToHandle(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return values;
}

std::optional<std::u16string> Win32Registry::ReadText16(Key key, const char* name, std::size_t maxUnits) {
    // Room for the longest text taken and its NUL: a longer value answers ERROR_MORE_DATA, unread.
    std::vector<wchar_t> text(maxUnits + 1);
    DWORD type = 0;
    DWORD stored = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(ToHandle(key), WideName(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &stored) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    const std::size_t units = stored / sizeof(wchar_t); // an odd last byte is half a unit: left out
    std::u16string result(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(units));
    const std::size_t end = result.find(u'\0');
    if (end != std::u16string::npos)
        result.resize(end);
    if (result.size() > maxUnits)
        return std::nullopt;
    return result;
}

std::optional<std::uint32_t> Win32Registry::ReadDword(Key key, const char* name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD stored = sizeof value;
    if (RegQueryValueExA(ToHandle(key), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &stored) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || stored != sizeof value)
        return std::nullopt;
    return value;
}

RegStatus Win32Registry::WriteBinary(Key key, const char* name, const void* data, std::size_t size) {
    return Status(
        RegSetValueExA(ToHandle(key), name, 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size)));
}

RegStatus Win32Registry::WriteText(Key key, const char* name, const char* text) {
    // The stored length counts the terminating NUL.
    return Status(RegSetValueExA(ToHandle(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(std::strlen(text) + 1)));
}

RegStatus Win32Registry::WriteText16(Key key, const char* name, std::u16string_view text) {
    std::wstring stored(text.begin(), text.end()); // wchar_t is UTF-16 on Windows
    // The stored length counts the terminating NUL.
    return Status(RegSetValueExW(ToHandle(key), WideName(name).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(stored.c_str()),
                                 static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))));
}

RegStatus Win32Registry::WriteDword(Key key, const char* name, std::uint32_t value) {
    const DWORD number = value;
    return Status(
        RegSetValueExA(ToHandle(key), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number));
}

RegStatus Win32Registry::DeleteValue(Key parent, const char* path, const char* name) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(ToHandle(parent), path, 0, KEY_SET_VALUE, &opened);
    if (result == ERROR_FILE_NOT_FOUND)
        return RegStatus();
    if (result != ERROR_SUCCESS)
        return RegStatus::Error(result);
    const RegistryKey key(opened);
    const LONG deleted = RegDeleteValueA(key.Get(), name);
    return deleted == ERROR_FILE_NOT_FOUND ? RegStatus() : Status(deleted);
}

RegStatus Win32Registry::DeleteTree(Key parent, const char* path) {
    return Status(RegDeleteTreeA(ToHandle(parent), path));
}

} // namespace qvl
