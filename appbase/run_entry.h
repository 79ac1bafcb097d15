// The driver's autostart entry: the text value "qvl2rs" under the current user's
// "Software\Microsoft\Windows\CurrentVersion\Run", which Windows runs at log-on, written through the
// registry port.
#pragma once

#include "model/registry.h"
#include "model/store_result.h"

#include <string>

namespace qvl {

class RunKeyEntry {
public:
    explicit RunKeyEntry(Registry& registry) : registry_(registry) {}
    RunKeyEntry(const RunKeyEntry&) = delete;
    RunKeyEntry& operator=(const RunKeyEntry&) = delete;

    // Store `commandLine` as the entry.
    StoreResult Write(const std::string& commandLine);
    // Remove the entry; a missing entry is no error.
    StoreResult Remove();

private:
    Registry& registry_;
};

} // namespace qvl
