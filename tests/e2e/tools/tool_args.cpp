#include "tool_args.h"

namespace qvl::e2e {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base) {
    if (digits.empty() || digits.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

} // namespace

std::optional<std::uint64_t> ParseHandle(std::string_view text) {
    if (HasHexPrefix(text))
        text.remove_prefix(2);
    return ParseDigits(text, 16);
}

std::optional<long long> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (HasHexPrefix(text)) {
        magnitude = ParseDigits(text.substr(2), 16);
    } else if (text.size() <= 18) {
        magnitude = ParseDigits(text, 10);
    }
    if (!magnitude || *magnitude > static_cast<std::uint64_t>(INT64_MAX))
        return std::nullopt;
    const auto value = static_cast<long long>(*magnitude);
    return negative ? -value : value;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == ',') {
            if (high >= 0)
                return std::nullopt; // half a byte before a separator
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

std::string FormatHexBytes(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

std::optional<std::string> OptionValue(int argc, char** argv, int& index, std::string_view name) {
    const std::string_view arg = argv[index];
    if (arg.substr(0, name.size()) != name)
        return std::nullopt;
    const std::string_view rest = arg.substr(name.size());
    if (!rest.empty()) {
        if (rest[0] != '=')
            return std::nullopt;
        ++index;
        return std::string(rest.substr(1));
    }
    if (index + 1 >= argc)
        return std::nullopt;
    index += 2;
    return std::string(argv[index - 1]);
}

} // namespace qvl::e2e
