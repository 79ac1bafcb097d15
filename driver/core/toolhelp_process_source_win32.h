// The running processes from a tool-help snapshot: each program file's name without its folder and
// its extension. A stand-in until the full process identification takes over.
#pragma once

#include "driver/core/process_source.h"

namespace qvl {

class ToolhelpProcessSource final : public ProcessSource {
public:
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override;
};

} // namespace qvl
