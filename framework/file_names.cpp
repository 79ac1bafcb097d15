#include "framework/file_names.h"

namespace qvl::framework {

std::string FileTitleOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string DialogFilter(std::string_view filter) {
    std::string result(filter);
    for (char& c : result)
        if (c == '|')
            c = '\0';
    // The list ends with an empty entry: two NULs after the last pattern.
    while (result.size() < 2 || result[result.size() - 1] != '\0' || result[result.size() - 2] != '\0')
        result += '\0';
    return result;
}

} // namespace qvl::framework
