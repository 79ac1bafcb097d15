// Builds performance data blocks as the system returns them, for the tests of the process list.
#pragma once

#include "driver/output/process_list_perf_data.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qvl::testing {

// The indexes a Windows system gives the names the process list looks for.
constexpr std::uint32_t kProcessIndex = 230;
constexpr std::uint32_t kThreadIndex = 232;
constexpr std::uint32_t kIdProcessIndex = 784;
constexpr std::uint32_t kProcessorTimeIndex = 6;
constexpr std::uint32_t kCreatingProcessIndex = 1410;
constexpr std::uint32_t kMemoryIndex = 4;

struct PerfCounter {
    std::uint32_t nameIndex;
    std::uint32_t offset; // within each instance's counter block
};

struct PerfInstance {
    std::u16string name;
    std::vector<std::uint32_t> values; // one per counter of the object, in the same order
};

struct PerfObject {
    std::uint32_t nameIndex;
    std::vector<PerfCounter> counters;
    std::vector<PerfInstance> instances;
    std::uint32_t counterBlockLength = 24;
    bool noInstances = false; // an object like Memory, with one counter block and no instances
};

// The Process object as Windows lays it out: a 64-bit processor time, then the ID and the parent.
inline PerfObject ProcessObject(const std::vector<std::pair<std::u16string, std::uint32_t>>& processes) {
    PerfObject object{
        kProcessIndex, {{kProcessorTimeIndex, 8}, {kIdProcessIndex, 16}, {kCreatingProcessIndex, 20}}, {}};
    for (const auto& [name, id] : processes)
        object.instances.push_back({name, {0x5A5A5A5A, id, 4}});
    return object;
}

inline PerfObject MemoryObject() {
    PerfObject object{kMemoryIndex, {{kProcessorTimeIndex, 8}}, {{u"", {77}}}};
    object.noInstances = true;
    return object;
}

class PerfDataBuilder {
public:
    std::vector<unsigned char> Build(const std::vector<PerfObject>& objects) {
        bytes_.clear();
        PerfDataBlock header = {};
        std::memcpy(header.signature, u"PERF", sizeof header.signature);
        header.littleEndian = 1;
        header.version = 1;
        header.revision = 1;
        header.headerLength = sizeof header + 16; // room for a system name, as the system leaves
        header.numObjectTypes = static_cast<std::uint32_t>(objects.size());
        Put(header);
        Pad(header.headerLength);
        for (const PerfObject& object : objects)
            AddObject(object);
        header.totalByteLength = static_cast<std::uint32_t>(bytes_.size());
        std::memcpy(bytes_.data(), &header, sizeof header);
        return bytes_;
    }

private:
    template <class T> void Put(const T& record) {
        const auto* begin = reinterpret_cast<const unsigned char*>(&record);
        bytes_.insert(bytes_.end(), begin, begin + sizeof record);
    }
    void Pad(std::size_t length) { bytes_.resize(length, 0); }
    template <class T> void PutAt(std::size_t offset, const T& record) {
        std::memcpy(bytes_.data() + offset, &record, sizeof record);
    }

    void AddCounterBlock(std::uint32_t length, const std::vector<PerfCounter>& counters,
                         const std::vector<std::uint32_t>& values) {
        const std::size_t start = bytes_.size();
        Pad(start + length);
        PutAt(start, PerfCounterBlock{length});
        for (std::size_t i = 0; i < counters.size() && i < values.size(); ++i)
            PutAt(start + counters[i].offset, values[i]);
    }

    void AddObject(const PerfObject& shape) {
        const std::size_t start = bytes_.size();
        PerfObjectType object = {};
        object.headerLength = sizeof object;
        object.objectNameTitleIndex = shape.nameIndex;
        object.numCounters = static_cast<std::uint32_t>(shape.counters.size());
        object.numInstances = shape.noInstances ? -1 : static_cast<std::int32_t>(shape.instances.size());
        Put(object);
        for (const PerfCounter& counter : shape.counters) {
            PerfCounterDefinition definition = {};
            definition.byteLength = sizeof definition;
            definition.counterNameTitleIndex = counter.nameIndex;
            definition.counterSize = 4;
            definition.counterOffset = counter.offset;
            Put(definition);
        }
        object.definitionLength = static_cast<std::uint32_t>(bytes_.size() - start);
        if (shape.noInstances) {
            AddCounterBlock(shape.counterBlockLength, shape.counters, shape.instances.at(0).values);
        } else {
            for (const PerfInstance& instance : shape.instances) {
                const std::size_t at = bytes_.size();
                PerfInstanceDefinition definition = {};
                definition.uniqueId = -1;
                definition.nameOffset = sizeof definition;
                definition.nameLength = static_cast<std::uint32_t>((instance.name.size() + 1) * 2);
                Put(definition);
                for (char16_t unit : instance.name + u'\0') {
                    bytes_.push_back(static_cast<unsigned char>(unit & 0xFF));
                    bytes_.push_back(static_cast<unsigned char>(unit >> 8));
                }
                Pad((bytes_.size() + 7) / 8 * 8); // instances are 8-byte aligned
                definition.byteLength = static_cast<std::uint32_t>(bytes_.size() - at);
                PutAt(at, definition);
                AddCounterBlock(shape.counterBlockLength, shape.counters, instance.values);
            }
        }
        object.totalByteLength = static_cast<std::uint32_t>(bytes_.size() - start);
        PutAt(start, object);
    }

    std::vector<unsigned char> bytes_;
};

inline std::vector<unsigned char> BuildPerfData(const std::vector<PerfObject>& objects) {
    return PerfDataBuilder().Build(objects);
}

// The counter names as the registry keeps them: "index\0name\0...\0\0".
inline std::vector<char> CounterText(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::vector<char> text;
    for (const auto& [index, name] : pairs) {
        text.insert(text.end(), index.begin(), index.end());
        text.push_back('\0');
        text.insert(text.end(), name.begin(), name.end());
        text.push_back('\0');
    }
    text.push_back('\0');
    return text;
}

inline std::vector<char> WindowsCounterText() {
    return CounterText({{"1", "1847"},
                        {"2", "System"},
                        {"4", "Memory"},
                        {"6", "% Processor Time"},
                        {"230", "Process"},
                        {"232", "Thread"},
                        {"784", "ID Process"},
                        {"1410", "Creating Process ID"}});
}

} // namespace qvl::testing
