// ProcessRights by the integrity level of the processes' tokens.
#pragma once

#include "driver/output/process_rights.h"

namespace qvl {

class Win32ProcessRights final : public ProcessRights {
public:
    Win32ProcessRights();
    bool RunsAbove(std::uint32_t processId) override;

private:
    unsigned long ownLevel_ = 0; // this process's integrity level (a mandatory label's RID)
};

} // namespace qvl
