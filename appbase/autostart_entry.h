// The driver's autostart entry: the value "qvl2rs" under the current user's
// "Software\Microsoft\Windows\CurrentVersion\Run", which Windows runs at log-on.
#pragma once

#include <string>

namespace qvl {

constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "qvl2rs";

class AutostartEntry {
public:
    AutostartEntry() = default;
    AutostartEntry(const AutostartEntry&) = delete;
    AutostartEntry& operator=(const AutostartEntry&) = delete;
    virtual ~AutostartEntry() = default;
    // Store `commandLine` as the entry (a text value); false when it could not be written.
    virtual bool Write(const std::string& commandLine) = 0;
    // Remove the entry; a missing entry is no error.
    virtual bool Remove() = 0;
};

} // namespace qvl
