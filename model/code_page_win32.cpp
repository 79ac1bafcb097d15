#include "model/code_page_win32.h"

#include "model/utf_text.h"

#include <windows.h>

namespace qvl {

namespace {

// The code page's bytes of UTF-16 `units`; nothing when one of them has no byte form of its own (no
// best fit: "é" does not become "e" behind our back).
std::optional<std::string> AnsiOf(const std::u16string& units) {
    if (units.empty())
        return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int length = static_cast<int>(units.size());
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &defaulted);
    if (size <= 0 || defaulted)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr, &defaulted);
    if (defaulted)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::string> Win32CodePage::ToUtf8(std::string_view bytes) const {
    if (bytes.empty())
        return std::string();
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::u16string units(static_cast<std::size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, reinterpret_cast<wchar_t*>(units.data()),
                        size);
    // Only what comes back as the very same bytes is written as characters.
    const std::optional<std::string> again = AnsiOf(units);
    if (!again || *again != bytes)
        return std::nullopt;
    return Utf8FromUtf16(units);
}

std::optional<std::string> Win32CodePage::FromUtf8(std::string_view text) const {
    const std::optional<std::u16string> units = Utf16FromUtf8(text);
    if (!units)
        return std::nullopt;
    return AnsiOf(*units);
}

} // namespace qvl
