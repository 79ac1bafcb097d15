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

std::string FirstFileArgument(std::string_view commandLine) {
    std::size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t'))
            ++at;
        if (at == commandLine.size())
            break;
        std::string word;
        if (commandLine[at] == '"') {
            const std::size_t end = commandLine.find('"', at + 1);
            word = std::string(commandLine.substr(at + 1, end == std::string_view::npos ? end : end - at - 1));
            at = end == std::string_view::npos ? commandLine.size() : end + 1;
        } else {
            const std::size_t end = commandLine.find_first_of(" \t", at);
            word = std::string(commandLine.substr(at, end == std::string_view::npos ? end : end - at));
            at = end == std::string_view::npos ? commandLine.size() : end;
            if (word[0] == '/' || word[0] == '-')
                continue;
        }
        if (!word.empty())
            return word;
    }
    return std::string();
}

} // namespace qvl::framework
