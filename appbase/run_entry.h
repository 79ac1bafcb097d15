// The autostart entry in the registry: the value "qvl2rs" under the current user's Run key.
#pragma once

#include "appbase/autostart_entry.h"
#include "model/registry.h"

namespace qvl {

class RunKeyEntry final : public AutostartEntry {
public:
    explicit RunKeyEntry(Registry& registry) : registry_(registry) {}
    bool Write(const std::string& commandLine) override;
    bool Remove() override;

private:
    Registry& registry_;
};

} // namespace qvl
