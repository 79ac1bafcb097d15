// Named blocks over plain process memory: what two programs sharing a named mapping see, inside one
// process. A block lives while any view of it is held and is zeroed when created again afterwards.
#pragma once

#include "model/shared_info.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qvl {

class MemoryBlocks final : public NamedBlocks {
public:
    std::unique_ptr<MappedBlock> Open(const char* name, std::size_t size) override;

    // Make the next opens of `name` fail: the block cannot be created at all, or it exists but its
    // view cannot be mapped.
    void FailCreate(const std::string& name) { failCreate_.insert(name); }
    void FailMap(const std::string& name) { failMap_.insert(name); }
    bool Exists(const std::string& name) const;

private:
    std::map<std::string, std::weak_ptr<std::vector<unsigned char>>> blocks_;
    std::set<std::string> failCreate_;
    std::set<std::string> failMap_;
};

} // namespace qvl
