// The system's rules: lower case for the ANSI code page's letters, not only A to Z; and the fold the
// registry compares key names by.
#pragma once

#include "model/text_case.h"

namespace qvl {

class SystemTextCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override;
    std::string Fold(const std::string& name) const override;
};

} // namespace qvl
