#include "ascii_code_page.h"
#include "driver/output/process_list.h"
#include "perf_data_builder.h"
#include "process_list_fakes.h"
#include "recording_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace qvl {
namespace {

using namespace qvl::testing;
using Names = std::vector<std::string>;
using Ids = std::vector<std::uint32_t>;
using Key = PerformanceRegistry::Key;
using fakes::FakePerformanceRegistry;
using fakes::FakeSnapshots;
using fakes::kFileNotFound;

std::vector<char> LittleEndian(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// A Windows 2000 or later system as the registry shows it, with three processes running.
struct NtSystem {
    NtSystem() {
        registry.Set(PerformanceRegistry::kPerflib, "Last Counter", LittleEndian(1847));
        registry.Set(PerformanceRegistry::kPerflib, "Version", LittleEndian(0x00050000));
        registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009", WindowsCounterText());
        registry.performanceData =
            BuildPerfData({MemoryObject(), ProcessObject({{u"Idle", 0}, {u"notepad", 612}, {u"_Total", 0}})});
        snapshots.processes = {{"[System Process]", 0}, {"C:\\WINDOWS\\NOTEPAD.EXE", 612}, {"wine.vdk.exe", 77}};
    }
    // No Process object in the performance data, as under Wine.
    void WithoutProcessObject() { registry.performanceData = BuildPerfData({MemoryObject()}); }

    FakePerformanceRegistry registry;
    FakeSnapshots snapshots;
    fakes::AsciiCodePage codePage;
    fakes::RecordingMessageBoxes boxes;
};

struct Listed {
    bool ok;
    Names names;
    Ids ids;
};

Listed List(ProcessSource& source) {
    Listed listed{false, {}, {}};
    listed.ok = source.GetProcessList(listed.names, listed.ids);
    return listed;
}

TEST(ProcessList, OnTheNtFamilyTheListComesFromThePerformanceData) {
    NtSystem system;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    const Listed listed = List(list);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"Idle", "notepad", "_Total"}));
    EXPECT_EQ(listed.ids, (Ids{0, 612, 0}));
    EXPECT_EQ(system.registry.DataQuerySizes("230 232"), (std::vector<std::uint32_t>{51200}));
    EXPECT_EQ(system.snapshots.takes, 0);
    EXPECT_TRUE(system.boxes.shown.empty());
}

TEST(ProcessList, ALargerAnswerGrowsTheBufferByStepsAndTheNextRequestStartsThere) {
    NtSystem system;
    system.registry.performanceDataNeeds = 51200 + 2500;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    ASSERT_TRUE(List(list).ok);
    EXPECT_EQ(system.registry.DataQuerySizes("230 232"), (std::vector<std::uint32_t>{51200, 52224, 53248, 54272}));
    EXPECT_EQ(list.PerformanceDataSize(), 54272u);

    system.registry.queries.clear();
    const Listed again = List(list);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.ids, (Ids{0, 612, 0}));
    EXPECT_EQ(system.registry.DataQuerySizes("230 232"), (std::vector<std::uint32_t>{54272}));
    // The counter indexes were found the first time and are kept.
    EXPECT_EQ(system.registry.Count(PerformanceRegistry::kPerflib, "Last Counter"), 0);
}

TEST(ProcessList, CounterNamesComeFromThePerformanceDataOrOnNt4FromTheEnglishSubkey) {
    NtSystem later;
    CProcessList laterList("WINNT", later.registry, later.snapshots, later.codePage, later.boxes);
    ASSERT_TRUE(List(laterList).ok);
    EXPECT_EQ(later.registry.Count(PerformanceRegistry::kPerformanceData, "Counter 009"), 1);
    EXPECT_EQ(later.registry.Count(PerformanceRegistry::kPerflibEnglish, "Counters"), 0);

    NtSystem nt4; // no "Version" value under perflib
    nt4.registry.values.erase({PerformanceRegistry::kPerflib, "Version"});
    nt4.registry.values.erase({PerformanceRegistry::kPerformanceData, "Counter 009"});
    nt4.registry.Set(PerformanceRegistry::kPerflibEnglish, "Counters", WindowsCounterText());
    CProcessList nt4List("WINNT", nt4.registry, nt4.snapshots, nt4.codePage, nt4.boxes);
    const Listed listed = List(nt4List);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"Idle", "notepad", "_Total"}));
    EXPECT_EQ(nt4.registry.Count(PerformanceRegistry::kPerflibEnglish, "Counters"), 1);
    EXPECT_EQ(nt4.snapshots.takes, 0);
    EXPECT_TRUE(nt4.boxes.shown.empty());
}

TEST(ProcessList, CounterNamesLargerThanTheFirstBufferAreReadWhole) {
    NtSystem system;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 1; i < 3000; i += 2)
        pairs.push_back({std::to_string(i), "Counter number " + std::to_string(i) + std::string(80, '.')});
    pairs.push_back({"230", "Process"});
    pairs.push_back({"232", "Thread"});
    pairs.push_back({"784", "ID Process"});
    const auto text = CounterText(pairs);
    ASSERT_GT(text.size(), 128u * 1024);
    system.registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009", text);
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    EXPECT_TRUE(List(list).ok);
    EXPECT_EQ(system.snapshots.takes, 0);
}

TEST(ProcessList, WithoutAProcessObjectTheNtFamilyFallsBackToTheSnapshotWithoutABox) {
    NtSystem system;
    system.WithoutProcessObject();
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    for (int request = 0; request < 2; ++request) {
        const Listed listed = List(list);
        ASSERT_TRUE(listed.ok);
        EXPECT_EQ(listed.names, (Names{"[System Proc", "NOTEPAD", "wine"}));
        EXPECT_EQ(listed.ids, (Ids{0, 612, 77}));
    }
    EXPECT_EQ(system.snapshots.takes, 2);
    EXPECT_TRUE(system.boxes.shown.empty());
}

TEST(ProcessList, WithoutTheIdCounterTheNtFamilyFallsBackToTheSnapshot) {
    NtSystem system;
    PerfObject process = ProcessObject({{u"notepad", 612}});
    process.counters.erase(process.counters.begin() + 1);
    system.registry.performanceData = BuildPerfData({process});
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    const Listed listed = List(list);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.ids, (Ids{0, 612, 77}));
    EXPECT_TRUE(system.boxes.shown.empty());
}

TEST(ProcessList, UnreadableCounterNamesAreReportedOnceAndOnlyWhenNoWayGivesAList) {
    NtSystem system;
    system.registry.errors[{PerformanceRegistry::kPerflib, "Last Counter"}] = kFileNotFound;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);

    ASSERT_TRUE(List(list).ok); // the snapshot answers: no box
    EXPECT_TRUE(system.boxes.shown.empty());

    system.snapshots.fail = true;
    for (int request = 0; request < 3; ++request) {
        const Listed listed = List(list);
        EXPECT_FALSE(listed.ok);
        EXPECT_TRUE(listed.names.empty() && listed.ids.empty());
    }
    ASSERT_EQ(system.boxes.shown.size(), 1u);
    EXPECT_EQ(system.boxes.shown[0].text, "Unable to retrieve counter indexes, ERROR -> 0x2");
    EXPECT_EQ(system.boxes.shown[0].caption, "Pviewer");
    EXPECT_EQ(system.boxes.shown[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(system.registry.DataQuerySizes("230 232").empty()); // no query with unknown indexes
}

TEST(ProcessList, ACounterNamesValueThatFailsIsReportedWithItsCode) {
    NtSystem system;
    system.registry.errors[{PerformanceRegistry::kPerformanceData, "Counter 009"}] = 5; // access denied
    system.snapshots.fail = true;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    EXPECT_FALSE(List(list).ok);
    ASSERT_EQ(system.boxes.shown.size(), 1u);
    EXPECT_EQ(system.boxes.shown[0].text, "Unable to retrieve counter indexes, ERROR -> 0x5");
}

TEST(ProcessList, NamesMissingFromTheCounterTableAreEachReportedOnce) {
    NtSystem system;
    system.registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009",
                        CounterText({{"2", "System"}, {"230", "Process"}}));
    system.snapshots.fail = true;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    EXPECT_FALSE(List(list).ok);
    EXPECT_FALSE(List(list).ok);
    ASSERT_EQ(system.boxes.shown.size(), 2u);
    EXPECT_EQ(system.boxes.shown[0].text, "ID Process");
    EXPECT_EQ(system.boxes.shown[1].text, "Thread");
    for (const fakes::ShownBox& box : system.boxes.shown) {
        EXPECT_EQ(box.caption, "Pviewer cannot find index");
        EXPECT_EQ(box.icon, MessageIcon::kNone);
    }
}

TEST(ProcessList, WithoutTheThreadIndexTheProcessObjectIsAskedForAlone) {
    NtSystem system;
    system.registry.Set(PerformanceRegistry::kPerformanceData, "Counter 009",
                        CounterText({{"230", "Process"}, {"784", "ID Process"}}));
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    const Listed listed = List(list);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.ids, (Ids{0, 612, 0}));
    EXPECT_EQ(system.registry.DataQuerySizes("230").size(), 1u);
    EXPECT_TRUE(system.boxes.shown.empty());
}

TEST(ProcessList, AnAnswerThatNeverFitsEndsAtTheLimitAndFallsBack) {
    NtSystem system;
    system.registry.performanceDataNeeds = std::size_t{1} << 40;
    CProcessList list("WINNT", system.registry, system.snapshots, system.codePage, system.boxes);
    const Listed listed = List(list);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"[System Proc", "NOTEPAD", "wine"}));
    const auto sizes = system.registry.DataQuerySizes("230 232");
    ASSERT_FALSE(sizes.empty());
    EXPECT_LE(sizes.back(), kLargestPerformanceData);
    EXPECT_EQ(sizes.size(), (kLargestPerformanceData - 51200) / 1024 + 1);
}

TEST(ProcessList, OtherPlatformsTakeTheSnapshotAloneAndNeverShowABox) {
    for (const char* platform : {"WIN95", "WIN98", ""}) {
        NtSystem system;
        CProcessList list(platform, system.registry, system.snapshots, system.codePage, system.boxes);
        const Listed listed = List(list);
        ASSERT_TRUE(listed.ok) << platform;
        EXPECT_EQ(listed.names, (Names{"[System Proc", "NOTEPAD", "wine"}));
        EXPECT_EQ(listed.ids, (Ids{0, 612, 77}));

        system.snapshots.fail = true;
        const Listed failed = List(list);
        EXPECT_FALSE(failed.ok);
        EXPECT_TRUE(failed.names.empty() && failed.ids.empty());
        EXPECT_TRUE(system.registry.queries.empty()) << platform;
        EXPECT_TRUE(system.boxes.shown.empty()) << platform;
    }
}

} // namespace
} // namespace qvl
