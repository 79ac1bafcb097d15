// The small system services the editor's logic reaches through ports: the system's lower-case
// rules.
#pragma once

#include "editor/app/keyset_ui.h"
#include "model/keyset_record.h"

#include <windows.h>

#include <string>

namespace qvl {

// Lower case by the rules of the system's code page, as the registry folds key names.
class SystemTextCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override;
};

} // namespace qvl
