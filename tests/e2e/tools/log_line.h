// One line of a tool's log: a kind, then name=value fields. Texts are quoted with C escapes, so a
// line never holds a raw line break and the harness splits it back into exactly the fields written.
#pragma once

#include "base/quote_text.h"

#include <cstdint>
#include <string>

namespace qvl::e2e {

class LogLine {
public:
    explicit LogLine(const char* kind);

    LogLine& Number(const char* name, long long value);
    // Window handles, virtual-key codes and flags: "0x" and lower-case hex digits.
    LogLine& Hex(const char* name, std::uint64_t value);
    // A bare token the writer knows to be free of spaces, quotes and '=' (message names).
    LogLine& Word(const char* name, const char* word);
    // Any text, always quoted.
    LogLine& Text(const char* name, const std::string& text);
    // Two numbers as "x,y".
    LogLine& Pair(const char* name, long long x, long long y);

    const std::string& Str() const { return line_; }

private:
    LogLine& Add(const char* name, const std::string& value);

    std::string line_;
};

// "0x" followed by lower-case hex digits, the form every tool prints handles in.
std::string HexValue(std::uint64_t value);

} // namespace qvl::e2e
