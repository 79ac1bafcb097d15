// Named blocks in memory whose opens of chosen names fail: the block cannot be created at all, or it
// exists but its view cannot be mapped, as the system's mappings can fail.
#pragma once

#include "model/memory_blocks.h"

#include <set>
#include <string>

namespace qvl::fakes {

class FailingBlocks final : public NamedBlocks {
public:
    std::unique_ptr<MappedBlock> Open(const char* name, std::size_t size) override {
        if (failCreate.count(name) != 0)
            return nullptr;
        std::unique_ptr<MappedBlock> view = blocks.Open(name, size);
        // The block now exists even when its view cannot be mapped, as with a real mapping.
        return failMap.count(name) != 0 ? nullptr : std::move(view);
    }

    MemoryBlocks blocks;
    std::set<std::string> failCreate;
    std::set<std::string> failMap;
};

} // namespace qvl::fakes
