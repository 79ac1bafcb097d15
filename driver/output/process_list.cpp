#include "driver/output/process_list.h"

#include "driver/output/process_list_perf_data.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace qvl {

namespace {

// The three names the list needs the indexes of.
constexpr const char* kProcessObject = "Process";
constexpr const char* kIdProcessCounter = "ID Process";
constexpr const char* kThreadObject = "Thread";

// The counter names come as one value of a few hundred kilobytes at most.
constexpr std::uint32_t kFirstCounterNamesSize = 64 * 1024;

std::unique_ptr<unsigned char[]> Allocate(std::uint32_t size) {
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size]);
}

} // namespace

CProcessList::CProcessList(const char* platformName, PerformanceRegistry& registry, ProcessSnapshots& snapshots,
                           const AnsiCodePage& codePage, MessageBoxes& boxes)
    : nt_(platformName != nullptr && std::strcmp(platformName, "WINNT") == 0), registry_(registry),
      snapshots_(snapshots), codePage_(codePage), boxes_(boxes) {}

bool CProcessList::GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) {
    std::lock_guard<std::mutex> request(requestLock_);
    if (!nt_)
        return FromSnapshot(names, ids);

    std::vector<Box> pending;
    if (FromPerformanceData(names, ids, pending) || FromSnapshot(names, ids))
        return true;
    if (!boxesShown_ && !pending.empty()) {
        boxesShown_ = true;
        for (const Box& box : pending)
            boxes_.Show(box.text.c_str(), box.caption, box.icon);
    }
    return false;
}

bool CProcessList::FromSnapshot(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) {
    std::vector<SnapshotProcess> processes;
    if (!snapshots_.Take(processes))
        return false;
    for (const SnapshotProcess& process : processes) {
        names.push_back(ToolhelpProcessName(process.exeFile));
        ids.push_back(process.id);
    }
    return true;
}

bool CProcessList::FromPerformanceData(std::vector<std::string>& names, std::vector<std::uint32_t>& ids,
                                       std::vector<Box>& boxes) {
    LoadIndexes(boxes);
    if (!indexesKnown_)
        return false;

    // The thread object rides along as it always has; without its index the process object is asked alone.
    char query[32];
    if (indexes_.thread != 0)
        std::snprintf(query, sizeof query, "%ld %ld", static_cast<long>(indexes_.process),
                      static_cast<long>(indexes_.thread));
    else
        std::snprintf(query, sizeof query, "%ld", static_cast<long>(indexes_.process));
    // The registry is offered the remembered size, grown by a step at a time; the buffer behind it
    // grows by doubling, so a long run of steps costs few allocations.
    std::unique_ptr<unsigned char[]> buffer;
    std::uint32_t capacity = 0;
    for (;;) {
        if (capacity < dataSize_) {
            capacity = capacity == 0 ? dataSize_ : std::min(capacity * 2, kLargestPerformanceData);
            capacity = std::max(capacity, dataSize_);
            buffer = Allocate(capacity);
            if (buffer == nullptr)
                return false;
        }
        std::uint32_t size = dataSize_;
        const long status = registry_.QueryValue(PerformanceRegistry::kPerformanceData, query, buffer.get(), size);
        if (status == kRegistryMoreData) {
            // The registry does not say how much the data needs; grow step by step and keep the size.
            if (dataSize_ > kLargestPerformanceData - kPerformanceDataStep)
                return false;
            dataSize_ += kPerformanceDataStep;
            continue;
        }
        if (status != kRegistrySuccess)
            return false;
        return ReadProcessInstances(buffer.get(), std::min(size, dataSize_), indexes_.process, indexes_.idProcess,
                                    codePage_, names, ids);
    }
}

void CProcessList::LoadIndexes(std::vector<Box>& boxes) {
    if (indexesKnown_)
        return;
    auto registryFailed = [&boxes](long error) {
        char text[64];
        std::snprintf(text, sizeof text, kCounterIndexesMessage, static_cast<unsigned>(error));
        boxes.push_back({text, kPviewerCaption, MessageIcon::kWarning});
    };

    unsigned char value[4] = {};
    std::uint32_t size = sizeof value;
    long status = registry_.QueryValue(PerformanceRegistry::kPerflib, "Last Counter", value, size);
    if (status == kRegistrySuccess && size != sizeof value)
        status = kRegistryInvalidData;
    if (status != kRegistrySuccess) {
        registryFailed(status);
        return;
    }
    const std::uint32_t lastCounter = static_cast<std::uint32_t>(value[0] | value[1] << 8 | value[2] << 16) |
                                      static_cast<std::uint32_t>(value[3]) << 24;

    std::vector<char> text;
    status = ReadCounterNames(text);
    if (status != kRegistrySuccess) {
        registryFailed(status);
        return;
    }
    const CounterNames table = CounterNames::Parse(text.data(), text.size(), lastCounter);

    Indexes found;
    for (auto [name, index] :
         {std::pair{kProcessObject, &found.process}, std::pair{kIdProcessCounter, &found.idProcess},
          std::pair{kThreadObject, &found.thread}}) {
        const auto at = table.IndexOf(name);
        if (at)
            *index = *at;
        else
            boxes.push_back({name, kPviewerIndexCaption, MessageIcon::kNone});
    }
    // The list needs these two; a missing thread index only shortens the query.
    if (found.process != 0 && found.idProcess != 0) {
        indexes_ = found;
        indexesKnown_ = true;
    }
}

// The counter names: from the performance data on systems whose perflib key has a "Version" value,
// else from the English subkey (Windows NT 4).
long CProcessList::ReadCounterNames(std::vector<char>& text) {
    std::uint32_t probe = 0;
    const long version = registry_.QueryValue(PerformanceRegistry::kPerflib, "Version", nullptr, probe);
    const bool fromData = version == kRegistrySuccess || version == kRegistryMoreData;
    const PerformanceRegistry::Key key =
        fromData ? PerformanceRegistry::kPerformanceData : PerformanceRegistry::kPerflibEnglish;
    const char* name = fromData ? "Counter 009" : "Counters";

    std::uint32_t capacity = kFirstCounterNamesSize;
    for (;;) {
        auto buffer = Allocate(capacity);
        if (buffer == nullptr)
            return kRegistryNoMemory;
        std::uint32_t size = capacity;
        const long status = registry_.QueryValue(key, name, buffer.get(), size);
        if (status == kRegistryMoreData) {
            const std::uint32_t needed = size > capacity * 2 ? size : capacity * 2;
            if (needed > kLargestPerformanceData)
                return status;
            capacity = needed;
            continue;
        }
        if (status != kRegistrySuccess)
            return status;
        const std::uint32_t length = size < capacity ? size : capacity;
        text.assign(buffer.get(), buffer.get() + length);
        return kRegistrySuccess;
    }
}

} // namespace qvl
