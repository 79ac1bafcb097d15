// The autostart entry in the registry: the value "qvl2rs" under the current user's Run key.
#pragma once

#include "appbase/autostart_entry.h"

namespace qvl {

class RunKeyEntry final : public AutostartEntry {
public:
    bool Write(const std::string& commandLine) override;
    bool Remove() override;
};

} // namespace qvl
