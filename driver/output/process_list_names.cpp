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

std::string AsciiCodePage::FromUtf16(const char16_t* text, std::size_t length) const {
    std::string result;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            result += static_cast<char>(unit);
            continue;
        }
        const bool pairStart =
            unit >= 0xD800 && unit < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (pairStart)
            ++i;
        result += '?';
    }
    return result;
}

} // namespace qvl
