// The system's lower case for the ANSI code page's letters, not only A to Z.
#pragma once

#include "model/text_case.h"

namespace qvl {

class SystemTextCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override;
};

} // namespace qvl
