#include "model/named_blocks_win32.h"

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <utility>

namespace qvl {

namespace {

class MappingView final : public MappedBlock {
public:
    MappingView(KernelHandle mapping, void* view) : mapping_(std::move(mapping)), view_(view) {}
    // The view goes first; the mapping closes after it.
    ~MappingView() override { UnmapViewOfFile(view_); }
    void* Address() const override { return view_; }

private:
    KernelHandle mapping_;
    void* view_;
};

} // namespace

std::unique_ptr<MappedBlock> Win32NamedBlocks::Open(const char* name, std::size_t size) {
    KernelHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), name));
    if (!mapping)
        return nullptr;
    // A mapping that exists but cannot be viewed is no block: nothing may be written through it.
    void* view = MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (view == nullptr)
        return nullptr;
    return std::make_unique<MappingView>(std::move(mapping), view);
}

} // namespace qvl
