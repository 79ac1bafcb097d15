// The running processes, by name and id, on every platform the driver runs on.
//
// Windows 95 and 98 list them through a process snapshot. The NT family keeps them in its performance
// data; where that holds no Process object (Wine, or an NT system whose counters are damaged) the
// snapshot functions, present on every NT system since Windows 2000, give the list instead. The
// "Pviewer" boxes about unreadable counter names only appear when no way gives a list, and at most once
// per run: they are modal, and the list is taken on the device's thread at every change of the
// foreground window.
#pragma once

#include "base/message_boxes.h"
#include "driver/output/process_list_names.h"
#include "driver/output/process_source.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace qvl {

// Win32 error codes that the registry answers with.
constexpr long kRegistrySuccess = 0;
constexpr long kRegistryNoMemory = 8;
constexpr long kRegistryInvalidData = 13;
constexpr long kRegistryMoreData = 234;

// Where the system keeps the names and the data of its performance counters.
class PerformanceRegistry {
public:
    enum Key {
        kPerflib,         // HKEY_LOCAL_MACHINE "software\microsoft\windows nt\currentversion\perflib"
        kPerflibEnglish,  // its subkey "009"
        kPerformanceData, // HKEY_PERFORMANCE_DATA
    };
    PerformanceRegistry() = default;
    PerformanceRegistry(const PerformanceRegistry&) = delete;
    PerformanceRegistry& operator=(const PerformanceRegistry&) = delete;
    virtual ~PerformanceRegistry() = default;
    // Read the value `name` of `key` into `buffer` of `size` bytes (a null buffer asks only whether
    // the value exists). On success `size` holds the bytes read. Answers kRegistrySuccess,
    // kRegistryMoreData when the buffer is too small (`size` then holds the length needed, where the
    // registry knows it), or the error of opening the key or reading the value.
    virtual long QueryValue(Key key, const char* name, unsigned char* buffer, std::uint32_t& size) = 0;
};

// What a process snapshot reports of one process.
struct SnapshotProcess {
    std::string exeFile; // program file, with or without its folder
    std::uint32_t id;
};

// The system's process snapshot functions, looked up by name at run time.
class ProcessSnapshots {
public:
    ProcessSnapshots() = default;
    ProcessSnapshots(const ProcessSnapshots&) = delete;
    ProcessSnapshots& operator=(const ProcessSnapshots&) = delete;
    virtual ~ProcessSnapshots() = default;
    // Append every process of a new snapshot. False when the functions are missing, the snapshot
    // fails, or it lists no first process.
    virtual bool Take(std::vector<SnapshotProcess>& processes) = 0;
};

// Texts and captions of the boxes about performance counters.
constexpr const char* kPviewerCaption = "Pviewer";
constexpr const char* kPviewerIndexCaption = "Pviewer cannot find index";
constexpr const char* kCounterIndexesMessage = "Unable to retrieve counter indexes, ERROR -> %#x";

// The performance data buffer at the first request; it grows by kPerformanceDataStep while the
// registry answers that it is too small, and keeps its size for the next request.
constexpr std::uint32_t kFirstPerformanceDataSize = 51200;
constexpr std::uint32_t kPerformanceDataStep = 1024;
// Beyond this the answer is taken as broken rather than large: no real process list comes near it.
constexpr std::uint32_t kLargestPerformanceData = 16 * 1024 * 1024;

class CProcessList final : public ProcessSource {
public:
    // `platformName` is the platform's name ("WINNT", "WIN95", "WIN98"): "WINNT" reads the performance
    // data first, every other name takes the snapshot alone.
    CProcessList(const char* platformName, PerformanceRegistry& registry, ProcessSnapshots& snapshots,
                 const AnsiCodePage& codePage, MessageBoxes& boxes);

    // Safe to call from several threads; requests run one at a time.
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override;

    std::uint32_t PerformanceDataSize() const { return dataSize_; }

private:
    struct Box {
        std::string text;
        const char* caption;
        MessageIcon icon;
    };
    struct Indexes {
        std::uint32_t process = 0;
        std::uint32_t idProcess = 0;
        std::uint32_t thread = 0;
    };

    bool FromSnapshot(std::vector<std::string>& names, std::vector<std::uint32_t>& ids);
    bool FromPerformanceData(std::vector<std::string>& names, std::vector<std::uint32_t>& ids, std::vector<Box>& boxes);
    void LoadIndexes(std::vector<Box>& boxes);
    long ReadCounterNames(std::vector<char>& text);

    const bool nt_;
    PerformanceRegistry& registry_;
    ProcessSnapshots& snapshots_;
    const AnsiCodePage& codePage_;
    MessageBoxes& boxes_;

    std::mutex requestLock_;
    std::uint32_t dataSize_ = kFirstPerformanceDataSize;
    Indexes indexes_;
    bool indexesKnown_ = false; // the counter names are read until the Process object's indexes are found
    bool boxesShown_ = false;
};

} // namespace qvl
