// The running processes, as target tracking and the tray's "find the editor" need them: parallel
// lists of names and ids. Names are program file names without folder and extension, in the case
// the system reports them; callers lower-case them before comparing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvl {

class ProcessSource {
public:
    ProcessSource() = default;
    ProcessSource(const ProcessSource&) = delete;
    ProcessSource& operator=(const ProcessSource&) = delete;
    virtual ~ProcessSource() = default;
    // Fill the two lists, passed empty; entry i of one belongs to entry i of the other. False when no
    // list could be taken (the lists are then left empty).
    virtual bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) = 0;
};

} // namespace qvl
