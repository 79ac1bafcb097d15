#include "editor/app/editor_services_win32.h"

namespace qvl {

std::string SystemTextCase::Lower(const std::string& text) const {
    std::string lower = text;
    if (!lower.empty())
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

} // namespace qvl
