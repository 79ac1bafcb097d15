#include "base/format_string.h"

namespace qvl {

std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    std::string result;
    result.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            result += c;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            result += '%';
            ++i;
        } else if (next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < arguments.size()) {
            result += *(arguments.begin() + (next - '1'));
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace qvl
