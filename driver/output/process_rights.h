// Whether the driver's input reaches a program: the system drops synthesized input aimed at a program
// that runs at a higher integrity level than the program that sends it (one started as administrator,
// while the driver was not).
#pragma once

#include <cstdint>

namespace qvl {

class ProcessRights {
public:
    ProcessRights() = default;
    ProcessRights(const ProcessRights&) = delete;
    ProcessRights& operator=(const ProcessRights&) = delete;
    virtual ~ProcessRights() = default;
    // True when process `processId` runs above this one; a process that cannot even be asked counts
    // as above.
    virtual bool RunsAbove(std::uint32_t processId) = 0;
};

} // namespace qvl
