#include "model/port_name.h"

namespace qvl {

std::optional<int> ParsePortName(std::string_view name) {
    if (name.size() < 4 || name.size() > 6)
        return std::nullopt;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M' || name[3] == '0')
        return std::nullopt;
    int number = 0;
    for (const char digit : name.substr(3)) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        number = number * 10 + (digit - '0');
    }
    if (number < kFirstPortNumber || number > kLastPortNumber)
        return std::nullopt;
    return number;
}

std::string PortName(int number) {
    return "COM" + std::to_string(number);
}

std::string PortDevicePath(int number) {
    return "\\\\.\\" + PortName(number);
}

} // namespace qvl
