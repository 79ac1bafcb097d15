#include "model/memory_blocks.h"

namespace qvl {

namespace {

class MemoryView final : public MappedBlock {
public:
    explicit MemoryView(std::shared_ptr<std::vector<unsigned char>> bytes) : bytes_(std::move(bytes)) {}
    void* Address() const override { return bytes_->data(); }

private:
    std::shared_ptr<std::vector<unsigned char>> bytes_;
};

} // namespace

std::unique_ptr<MappedBlock> MemoryBlocks::Open(const char* name, std::size_t size) {
    std::shared_ptr<std::vector<unsigned char>> bytes = blocks_[name].lock();
    if (bytes == nullptr) {
        bytes = std::make_shared<std::vector<unsigned char>>(size, 0);
        blocks_[name] = bytes;
    }
    return std::make_unique<MemoryView>(std::move(bytes));
}

bool MemoryBlocks::Exists(const std::string& name) const {
    auto found = blocks_.find(name);
    return found != blocks_.end() && !found->second.expired();
}

} // namespace qvl
