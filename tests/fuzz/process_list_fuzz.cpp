// The whole process-list request over a registry and a snapshot that answer what the input says.
//
// The input: the platform (bit 0 of the first byte: the NT family), which queries fail (second byte,
// one bit each: "Last Counter", "Version", the counter names, the data; bit 4: the snapshot fails),
// the highest counter index (4 bytes), the counter names' length (2 bytes) and the names, then the
// performance data block.
//
// Names and ids come in pairs, a failed request lists nothing, the data buffer stays within its bound,
// and the boxes about the counters show at most once however often the list is asked for.
#include "ascii_code_page.h"
#include "fuzz_check.h"
#include "process_list_fakes.h"
#include "recording_message_boxes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    if (size < 8)
        return 0;
    const bool nt = (data[0] & 1) != 0;
    const unsigned failing = data[1];
    const std::size_t textSize = std::min<std::size_t>(data[6] | data[7] << 8, size - 8);

    fakes::FakePerformanceRegistry registry;
    registry.Set(PerformanceRegistry::kPerflib, "Last Counter", std::vector<char>(data + 2, data + 6));
    registry.Set(PerformanceRegistry::kPerflib, "Version", {0, 0, 5, 0});
    registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009",
                 std::vector<char>(data + 8, data + 8 + textSize));
    registry.performanceData.assign(data + 8 + textSize, data + size);
    const char* queries[] = {"Last Counter", "Version", "Counter 009", "230"};
    const PerformanceRegistry::Key keys[] = {PerformanceRegistry::kPerflib, PerformanceRegistry::kPerflib,
                                             PerformanceRegistry::kPerformanceData,
                                             PerformanceRegistry::kPerformanceData};
    for (int i = 0; i < 4; ++i)
        if ((failing >> i & 1) != 0)
            registry.errors[{keys[i], queries[i]}] = fakes::kFileNotFound;
    fakes::FakeSnapshots snapshots;
    snapshots.fail = (failing & 0x10) != 0;
    snapshots.processes = {{"C:\\WINDOWS\\NOTEPAD.EXE", 612}};
    fakes::AsciiCodePage codePage;
    fakes::RecordingMessageBoxes boxes;
    CProcessList list(nt ? "WINNT" : "WIN98", registry, snapshots, codePage, boxes);

    std::size_t boxesAfterFirst = 0;
    for (int request = 0; request < 2; ++request) {
        std::vector<std::string> names;
        std::vector<std::uint32_t> ids;
        const bool listed = list.GetProcessList(names, ids);
        Require(names.size() == ids.size(), "a name for every id");
        Require(listed || names.empty(), "a failed request lists nothing");
        Require(list.PerformanceDataSize() <= kLargestPerformanceData, "the data buffer stays within its bound");
        if (request == 0)
            boxesAfterFirst = boxes.shown.size();
    }
    Require(boxes.shown.size() == boxesAfterFirst || boxesAfterFirst == 0, "the boxes show at most once");
    return 0;
}
