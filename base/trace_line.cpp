#include "base/trace_line.h"

#include "base/quote_text.h"

#include <cstdio>

namespace qvl {

TraceLine::TraceLine(const char* kind, std::int64_t time) : line_(kind) {
    Number("t", time);
}

TraceLine& TraceLine::Number(const char* name, long long value) {
    line_ += ' ';
    line_ += name;
    line_ += '=';
    line_ += std::to_string(value);
    return *this;
}

TraceLine& TraceLine::Hex(const char* name, std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, static_cast<unsigned>(value));
    line_ += ' ';
    line_ += name;
    line_ += '=';
    line_ += text;
    return *this;
}

// Quoted as the test tools quote their texts, so the harness reads both alike.
TraceLine& TraceLine::Text(const char* name, const std::string& text) {
    line_ += ' ';
    line_ += name;
    line_ += '=';
    line_ += QuoteText(text);
    return *this;
}

} // namespace qvl
