// UTF-8 and UTF-16 text, portable. Inside the programs text that may hold any character (steps, keysets
// written as text) is UTF-8; the registry's wide values and typed characters are UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvl {

// The UTF-16 of UTF-8 `text`; nothing when it is not well-formed UTF-8 (a stray byte, an overlong form,
// a surrogate, a code point beyond U+10FFFF).
std::optional<std::u16string> Utf16FromUtf8(std::string_view text);

// The UTF-8 of UTF-16 `text`. A lone surrogate half, which no character has, becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);

} // namespace qvl
