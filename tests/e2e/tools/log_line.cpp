#include "log_line.h"

namespace qvl::e2e {

namespace {

const char kHexDigits[] = "0123456789abcdef";

} // namespace

LogLine::LogLine(const char* kind) : line_(kind) {}

LogLine& LogLine::Add(const char* name, const std::string& value) {
    line_ += ' ';
    line_ += name;
    line_ += '=';
    line_ += value;
    return *this;
}

LogLine& LogLine::Number(const char* name, long long value) {
    return Add(name, std::to_string(value));
}

LogLine& LogLine::Hex(const char* name, std::uint64_t value) {
    return Add(name, HexValue(value));
}

LogLine& LogLine::Word(const char* name, const char* word) {
    return Add(name, word);
}

LogLine& LogLine::Text(const char* name, const std::string& text) {
    return Add(name, QuoteText(text));
}

LogLine& LogLine::Pair(const char* name, long long x, long long y) {
    return Add(name, std::to_string(x) + "," + std::to_string(y));
}

std::string HexValue(std::uint64_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), kHexDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

} // namespace qvl::e2e
