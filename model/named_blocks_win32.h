// Named blocks as file mappings on the paging file, shared by every process of the session.
#pragma once

#include "model/shared_info.h"

namespace qvl {

class Win32NamedBlocks final : public NamedBlocks {
public:
    std::unique_ptr<MappedBlock> Open(const char* name, std::size_t size) override;
};

} // namespace qvl
