#include "ascii_code_page.h"

namespace qvl::fakes {

std::string AsciiCodePage::FromUtf16(const char16_t* text, std::size_t length) const {
    std::string result;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            result += static_cast<char>(unit);
            continue;
        }
        const bool pairStart =
            unit >= 0xD800 && unit < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (pairStart)
            ++i;
        result += '?';
    }
    return result;
}

} // namespace qvl::fakes
