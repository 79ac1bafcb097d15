#include "framework/string_table.h"

#include "base/format_string.h"

#include <vector>

namespace qvl::framework {

std::string LoadResourceString(HINSTANCE instance, UINT id) {
    // LoadStringA cuts a text that does not fit and gives no length of the whole: grow until the text
    // leaves room (a string-table entry holds at most 4095 characters).
    std::vector<char> buffer(256);
    for (;;) {
        const int length = LoadStringA(instance, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0)
            return std::string();
        if (static_cast<std::size_t>(length) + 1 < buffer.size() || buffer.size() > 4096)
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string FormatResourceString(HINSTANCE instance, UINT id, std::initializer_list<std::string_view> arguments) {
    return FormatString(LoadResourceString(instance, id), arguments);
}

} // namespace qvl::framework
