// A code page for the tests of keysets as text: bytes below 0x80 and from 0xA0 up are the characters of
// the same number (Latin-1); 0x80 to 0x9F are bytes it does not define, as some system code pages have.
#pragma once

#include "model/code_page.h"
#include "model/utf_text.h"

namespace qvl::fakes {

class Latin1CodePage final : public CodePage {
public:
    std::optional<std::string> ToUtf8(std::string_view bytes) const override {
        std::u16string units;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80 && byte < 0xA0)
                return std::nullopt;
            units += static_cast<char16_t>(byte);
        }
        return Utf8FromUtf16(units);
    }
    std::optional<std::string> FromUtf8(std::string_view text) const override {
        const std::optional<std::u16string> units = Utf16FromUtf8(text);
        if (!units)
            return std::nullopt;
        std::string bytes;
        for (const char16_t unit : *units) {
            if ((unit >= 0x80 && unit < 0xA0) || unit > 0xFF)
                return std::nullopt;
            bytes += static_cast<char>(unit);
        }
        return bytes;
    }
};

} // namespace qvl::fakes
