#include "model/text_case_win32.h"

#include <windows.h>

namespace qvl {

std::string SystemTextCase::Lower(const std::string& text) const {
    std::string lower = text;
    if (!lower.empty())
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

// The registry compares key names in UTF-16 after upper-casing them with the system's own table, the
// same for every locale: what LCMapString does for the invariant locale without linguistic casing.
std::string SystemTextCase::Fold(const std::string& name) const {
    if (name.empty())
        return name;
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    std::wstring upper(wide.size(), L'\0');
    if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(), length) != length)
        upper = wide;
    // The UTF-16 units as bytes keep every distinction.
    return std::string(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

} // namespace qvl
