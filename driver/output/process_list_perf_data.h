// Reading the process list out of the system's performance data (the NT family): the table of counter
// names and the walk through a performance data block to the Process object's instances.
//
// The block comes from the system as bytes. Every length and offset in it is checked against the
// block's size before it is followed, so a malformed block gives no list rather than a read outside it.
#pragma once

#include "driver/output/process_list_names.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace qvl {

// The records of a performance data block as the system lays them out, little-endian. Fields that
// hold pointers in the system's 32-bit declarations are 32-bit values in the data on every platform.
struct PerfDataBlock {
    char16_t signature[4]; // "PERF"
    std::uint32_t littleEndian;
    std::uint32_t version;
    std::uint32_t revision;
    std::uint32_t totalByteLength;
    std::uint32_t headerLength; // the first object type follows at this offset
    std::uint32_t numObjectTypes;
    std::int32_t defaultObject;
    std::uint16_t systemTime[8];
    std::uint32_t padding;
    std::uint32_t perfTime[2];
    std::uint32_t perfFreq[2];
    std::uint32_t perfTime100nSec[2];
    std::uint32_t systemNameLength;
    std::uint32_t systemNameOffset;
};

struct PerfObjectType {
    std::uint32_t totalByteLength;  // the next object type follows at this offset
    std::uint32_t definitionLength; // the first instance follows at this offset
    std::uint32_t headerLength;     // the first counter definition follows at this offset
    std::uint32_t objectNameTitleIndex;
    std::uint32_t objectNameTitle;
    std::uint32_t objectHelpTitleIndex;
    std::uint32_t objectHelpTitle;
    std::uint32_t detailLevel;
    std::uint32_t numCounters;
    std::int32_t defaultCounter;
    std::int32_t numInstances; // -1: the object has no instances
    std::uint32_t codePage;
    std::uint32_t perfTime[2];
    std::uint32_t perfFreq[2];
};

struct PerfCounterDefinition {
    std::uint32_t byteLength; // the next definition follows at this offset
    std::uint32_t counterNameTitleIndex;
    std::uint32_t counterNameTitle;
    std::uint32_t counterHelpTitleIndex;
    std::uint32_t counterHelpTitle;
    std::int32_t defaultScale;
    std::uint32_t detailLevel;
    std::uint32_t counterType;
    std::uint32_t counterSize;
    std::uint32_t counterOffset; // of the value within each instance's counter block
};

struct PerfInstanceDefinition {
    std::uint32_t byteLength; // the instance's counter block follows at this offset
    std::uint32_t parentObjectTitleIndex;
    std::uint32_t parentObjectInstance;
    std::int32_t uniqueId;
    std::uint32_t nameOffset; // UTF-16 name, from the start of the instance
    std::uint32_t nameLength; // in bytes, with the terminating zero
};

struct PerfCounterBlock {
    std::uint32_t byteLength; // the next instance follows at this offset
};

static_assert(std::is_standard_layout_v<PerfDataBlock> && std::is_trivially_copyable_v<PerfDataBlock>);
static_assert(sizeof(PerfDataBlock) == 88);
static_assert(offsetof(PerfDataBlock, totalByteLength) == 20);
static_assert(offsetof(PerfDataBlock, headerLength) == 24);
static_assert(offsetof(PerfDataBlock, numObjectTypes) == 28);
static_assert(offsetof(PerfDataBlock, systemTime) == 36);
static_assert(offsetof(PerfDataBlock, perfTime) == 56);
static_assert(offsetof(PerfDataBlock, systemNameOffset) == 84);

static_assert(std::is_standard_layout_v<PerfObjectType> && std::is_trivially_copyable_v<PerfObjectType>);
static_assert(sizeof(PerfObjectType) == 64);
static_assert(offsetof(PerfObjectType, objectNameTitleIndex) == 12);
static_assert(offsetof(PerfObjectType, numCounters) == 32);
static_assert(offsetof(PerfObjectType, numInstances) == 40);
static_assert(offsetof(PerfObjectType, perfTime) == 48);

static_assert(std::is_standard_layout_v<PerfCounterDefinition>);
static_assert(sizeof(PerfCounterDefinition) == 40);
static_assert(offsetof(PerfCounterDefinition, counterNameTitleIndex) == 4);
static_assert(offsetof(PerfCounterDefinition, counterSize) == 32);
static_assert(offsetof(PerfCounterDefinition, counterOffset) == 36);

static_assert(std::is_standard_layout_v<PerfInstanceDefinition>);
static_assert(sizeof(PerfInstanceDefinition) == 24);
static_assert(offsetof(PerfInstanceDefinition, nameOffset) == 16);
static_assert(offsetof(PerfInstanceDefinition, nameLength) == 20);

static_assert(sizeof(PerfCounterBlock) == 4);

// The names of the performance objects and counters by index, from the multi-string the system keeps
// them in: "index\0name\0index\0name\0...\0\0".
class CounterNames {
public:
    // Pairs whose index is above `lastCounter`, or is not a decimal number, are left out; where an
    // index comes twice, the later name holds.
    static CounterNames Parse(const char* text, std::size_t size, std::uint32_t lastCounter);

    // The lowest index whose name equals `name` ignoring case; nothing when no entry has that name.
    std::optional<std::uint32_t> IndexOf(const char* name) const;
    std::size_t Count() const { return names_.size(); }

private:
    std::map<std::uint32_t, std::string> names_;
};

// Append the instances of the object `processIndex` in a performance data block of `size` bytes to the
// two lists: each instance's name (through `codePage`) and the 32-bit value of its counter
// `idProcessIndex`. False, with the lists left as they were, when the block has no such object, the
// object no such counter or no instance, or when anything in it points outside the block.
bool ReadProcessInstances(const unsigned char* data, std::size_t size, std::uint32_t processIndex,
                          std::uint32_t idProcessIndex, const AnsiCodePage& codePage, std::vector<std::string>& names,
                          std::vector<std::uint32_t>& ids);

} // namespace qvl
