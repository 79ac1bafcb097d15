#include "base/quote_text.h"

namespace qvl {

namespace {

const char kHexDigits[] = "0123456789abcdef";

} // namespace

std::string QuoteText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (byte < 0x20 || byte >= 0x7F) {
                    quoted += "\\x";
                    quoted += kHexDigits[byte >> 4];
                    quoted += kHexDigits[byte & 0xF];
                } else {
                    quoted += c;
                }
                break;
        }
    }
    return quoted + "\"";
}

} // namespace qvl
