#include "model/named_blocks_win32.h"

#include <windows.h>

namespace qvl {

namespace {

class MappingView final : public MappedBlock {
public:
    MappingView(HANDLE mapping, void* view) : mapping_(mapping), view_(view) {}
    ~MappingView() override {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
    }
    void* Address() const override { return view_; }

private:
    HANDLE mapping_;
    void* view_;
};

} // namespace

std::unique_ptr<MappedBlock> Win32NamedBlocks::Open(const char* name, std::size_t size) {
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), name);
    if (mapping == nullptr)
        return nullptr;
    // A mapping that exists but cannot be viewed is no block: nothing may be written through it.
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (view == nullptr) {
        CloseHandle(mapping);
        return nullptr;
    }
    return std::make_unique<MappingView>(mapping, view);
}

} // namespace qvl
