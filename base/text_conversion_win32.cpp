#include "base/text_conversion_win32.h"

#include <windows.h>

namespace qvl {

std::string Utf16ToAnsi(const char16_t* text, std::size_t length) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    if (length == 0)
        return std::string();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text);
    const int wideLength = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string result(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, wideLength, result.data(), needed, nullptr, nullptr);
    return result;
}

} // namespace qvl
