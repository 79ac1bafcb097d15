// Parsing what the harness passes on the tools' command lines: window handles in base 16, numbers,
// and byte strings in hex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::e2e {

// A window handle as the tools print it: "0x1a2b" (the prefix may be missing or upper case). Handles
// are always base 16, whatever digits they happen to hold.
std::optional<std::uint64_t> ParseHandle(std::string_view text);

// A signed decimal number, or "0x" followed by hex digits (message ids, wParam values).
std::optional<long long> ParseInteger(std::string_view text);

// Bytes as hex pairs, with or without spaces between them: "b3", "80 45", "8045".
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

// The bytes as the tools print them: lower-case hex pairs separated by single spaces.
std::string FormatHexBytes(const std::vector<std::uint8_t>& bytes);

// The value of "--name=value" or of "--name value" at argv[index]; moves index past what it used.
// Nothing (and index unchanged) when argv[index] is not that option or its value is missing.
std::optional<std::string> OptionValue(int argc, char** argv, int& index, std::string_view name);

} // namespace qvl::e2e
