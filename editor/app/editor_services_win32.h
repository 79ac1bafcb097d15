// The small system services the editor's logic reaches through ports: the system's lower-case
// rules and the driver's Run entry.
#pragma once

#include "editor/app/keyset_ui.h"
#include "editor/app/preferences.h"
#include "model/keyset_record.h"

#include <windows.h>

#include <functional>
#include <string>

namespace qvl {

// Lower case by the rules of the system's code page, as the registry folds key names.
class SystemTextCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override;
};

// The value "qvl2rs" under the current user's Run key.
class RunKeyEntry final : public AutostartEntry {
public:
    bool Write(const std::string& commandLine) override;
    bool Remove() override;
};

} // namespace qvl
