#include "driver/output/process_list_names.h"

namespace qvl {

namespace {

constexpr std::size_t kExtensionLength = 4; // ".exe"

} // namespace

std::string ToolhelpProcessName(const std::string& exeFile) {
    const std::size_t slash = exeFile.rfind('\\');
    std::string name = slash == std::string::npos ? exeFile : exeFile.substr(slash + 1);
    std::size_t drop = kExtensionLength;
    if (name.find(".vdk") != std::string::npos)
        drop += kExtensionLength;
    if (name.size() < drop)
        return std::string();
    name.resize(name.size() - drop);
    return name;
}

} // namespace qvl
