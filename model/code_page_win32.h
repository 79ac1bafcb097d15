// The system's ANSI code page (CP_ACP) as the keysets written as text see it.
#pragma once

#include "model/code_page.h"

namespace qvl {

class Win32CodePage final : public CodePage {
public:
    std::optional<std::string> ToUtf8(std::string_view bytes) const override;
    std::optional<std::string> FromUtf8(std::string_view text) const override;
};

} // namespace qvl
