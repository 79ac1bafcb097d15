// Named blocks over plain process memory: what two programs sharing a named mapping see, inside one
// process. A block lives while any view of it is held and is zeroed when created again afterwards.
#pragma once

#include "model/shared_info.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qvl {

class MemoryBlocks final : public NamedBlocks {
public:
    std::unique_ptr<MappedBlock> Open(const char* name, std::size_t size) override;
    bool Exists(const std::string& name) const;

private:
    std::map<std::string, std::weak_ptr<std::vector<unsigned char>>> blocks_;
};

} // namespace qvl
