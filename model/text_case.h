// Case as the system folds names in the ANSI code page: two key names that differ only in case name
// the same registry key, and a keyset named after a program ("äudio" for "Äudio.exe") must be found
// again from that program's process name. The editor names keysets and the driver matches process
// names by this one rule.
#pragma once

#include <string>

namespace qvl {

class TextCase {
public:
    TextCase() = default;
    TextCase(const TextCase&) = delete;
    TextCase& operator=(const TextCase&) = delete;
    virtual ~TextCase() = default;
    virtual std::string Lower(const std::string& text) const = 0;
    bool SameIgnoringCase(const std::string& a, const std::string& b) const { return Lower(a) == Lower(b); }
};

} // namespace qvl
