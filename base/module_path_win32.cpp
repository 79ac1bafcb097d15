#include "base/module_path_win32.h"

#include <vector>

namespace qvl {

std::string ModulePath(HMODULE module) {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        // A path that filled the buffer may have been cut.
        if (length < path.size() - 1 || path.size() >= 32768)
            return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

std::string ModuleFolder(HMODULE module) {
    const std::string path = ModulePath(module);
    const std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace qvl
