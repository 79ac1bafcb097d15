// The few words of live state that the editor and the driver share through named memory.
//
// Both programs create the block under the same name at start-up; whichever comes first creates it
// zeroed, the other opens the same one. Fields are plain aligned words written whole, without a lock:
// the keyset protocol relies on the order of writes (save, then raise keysetsChanged), not on locking.
#pragma once

#include "model/shared_names.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace qvl {

struct SharedInfo {
    std::int16_t currentKeyset; // index into the keyset store, read sign-extended
    std::uint8_t unused[2];
    std::int32_t keysetsChanged; // 1: keysets were rewritten since the driver last selected one
    std::int32_t wheelLedOn;     // 1: LED on, the wheel uses bank 0; 0: off, bank 1
    std::int32_t portOpen;       // 1: driver enabled with its port usable
};
static_assert(std::is_standard_layout_v<SharedInfo>);
static_assert(sizeof(SharedInfo) == 16);
static_assert(offsetof(SharedInfo, currentKeyset) == 0);
static_assert(offsetof(SharedInfo, keysetsChanged) == 4);
static_assert(offsetof(SharedInfo, wheelLedOn) == 8);
static_assert(offsetof(SharedInfo, portOpen) == 12);

constexpr std::size_t kDataAreaSize = 24;
constexpr std::size_t kDataValueOffset = 4; // the wheel speed published by the special mouse mode

// One mapped view of a named block; unmaps and closes on destruction.
class MappedBlock {
public:
    MappedBlock() = default;
    MappedBlock(const MappedBlock&) = delete;
    MappedBlock& operator=(const MappedBlock&) = delete;
    virtual ~MappedBlock() = default;
    virtual void* Address() const = 0;
};

// Creates or opens named blocks of memory shared between processes.
class NamedBlocks {
public:
    NamedBlocks() = default;
    NamedBlocks(const NamedBlocks&) = delete;
    NamedBlocks& operator=(const NamedBlocks&) = delete;
    virtual ~NamedBlocks() = default;
    // Create the block `name` of `size` bytes (zeroed) or open the existing one, and map all of it for
    // reading and writing. Null when the block cannot be created or its view cannot be mapped.
    virtual std::unique_ptr<MappedBlock> Open(const char* name, std::size_t size) = 0;
};

class CSharedInfo {
public:
    explicit CSharedInfo(NamedBlocks& blocks) : blocks_(blocks) {}
    CSharedInfo(const CSharedInfo&) = delete;
    CSharedInfo& operator=(const CSharedInfo&) = delete;
    virtual ~CSharedInfo();

    // Create or open and map both blocks; true when both are usable. Resets wheelLedOn and
    // portOpen to 1 whether the block was new or not.
    bool Create();
    // Unmap and close both blocks.
    void Destroy();
    bool IsMapped() const { return info_ != nullptr; }

    // An unmapped block reads as zero and ignores writes.
    int GetCurrentKeysetIndex() const;
    void SetCurrentKeysetIndex(int index); // truncated to 16 bits
    int GetKeysetsChanged() const;
    void SetKeysetsChanged(int value);
    int GetWheelLedOn() const;
    void SetWheelLedOn(int value);
    int GetPortOpen() const;
    void SetPortOpen(int value);
    void SetDataValue(std::int32_t value);
    std::int32_t GetDataValue() const;

private:
    NamedBlocks& blocks_;
    std::unique_ptr<MappedBlock> dataArea_;
    std::unique_ptr<MappedBlock> infoBlock_;
    volatile SharedInfo* info_ = nullptr;
    volatile std::int32_t* dataValue_ = nullptr;
};

} // namespace qvl
