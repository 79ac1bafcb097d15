#include "driver/output/process_list_win32.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace qvl {
namespace {

using wintest::ChildProcess;

class RecordingBoxes final : public MessageBoxes {
public:
    void Show(const char* text, const char* caption, MessageIcon) override {
        shown.push_back(std::string(caption != nullptr ? caption : "") + ": " + text);
    }
    std::vector<std::string> shown;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether the list holds `name` (compared in lower case, as target tracking does) with `id`.
bool Lists(ProcessSource& source, const std::string& name, DWORD id, std::string& listing) {
    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    if (!source.GetProcessList(names, ids)) {
        listing = "no list";
        return false;
    }
    listing.clear();
    for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
        listing += names[i] + "=" + std::to_string(ids[i]) + " ";
        if (Lower(names[i]) == name && ids[i] == id)
            return true;
    }
    return false;
}

// On every platform name the driver may report, a process this test started is in the list by its
// program's name and its id. On the NT family under Wine this goes through the fallback: Wine's
// performance data has no Process object.
TEST(ProcessListWin32, ListsAProcessItStartedByNameWithItsId) {
    ChildProcess peer;
    ASSERT_TRUE(peer.Start("process_list_peer.exe", "120000"));
    for (const char* platform : {"WINNT", "WIN98"}) {
        RecordingBoxes boxes;
        Win32ProcessList list(platform, boxes);
        std::string listing;
        const bool found = wintest::WaitUntil([&] { return Lists(list, "process_list_peer", peer.Id(), listing); });
        EXPECT_TRUE(found) << platform << ": " << listing;
        EXPECT_TRUE(boxes.shown.empty()) << platform << ": " << boxes.shown.front();
    }
}

TEST(ProcessListWin32, AnEndedProcessLeavesTheList) {
    RecordingBoxes boxes;
    Win32ProcessList list("WINNT", boxes);
    DWORD id = 0;
    {
        ChildProcess peer;
        ASSERT_TRUE(peer.Start("process_list_peer.exe", "0"));
        id = peer.Id();
        ASSERT_TRUE(peer.Wait(wintest::kPatienceMs).has_value());
    }
    std::string listing;
    EXPECT_FALSE(Lists(list, "process_list_peer", id, listing)) << listing;
    EXPECT_NE(listing, "no list");
}

class NoSnapshots final : public ProcessSnapshots {
public:
    bool Take(std::vector<SnapshotProcess>&) override { return false; }
};

// With the system's own registry and no snapshot to fall back on: either the performance data gives
// the list without a word, or (as under Wine, which keeps no counter names) one request shows the
// boxes and the later ones stay quiet.
TEST(ProcessListWin32, ThePerformanceDataAloneGivesAListOrBoxesOnlyOnce) {
    Win32PerformanceRegistry registry;
    NoSnapshots snapshots;
    Win32AnsiCodePage codePage;
    RecordingBoxes boxes;
    CProcessList list("WINNT", registry, snapshots, codePage, boxes);
    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    const bool listed = list.GetProcessList(names, ids);
    const std::size_t firstBoxes = boxes.shown.size();
    for (int request = 0; request < 3; ++request) {
        names.clear();
        ids.clear();
        EXPECT_EQ(list.GetProcessList(names, ids), listed);
    }
    if (listed) {
        EXPECT_TRUE(boxes.shown.empty());
    } else {
        EXPECT_GE(firstBoxes, 1u);
        EXPECT_EQ(boxes.shown.size(), firstBoxes);
        EXPECT_TRUE(names.empty() && ids.empty());
        for (const std::string& box : boxes.shown)
            std::printf("shown once: %s\n", box.c_str());
    }
}

TEST(ProcessListWin32, TheSnapshotReportsProgramFiles) {
    Win32ProcessSnapshots snapshots;
    std::vector<SnapshotProcess> processes;
    ASSERT_TRUE(snapshots.Take(processes));
    const DWORD self = GetCurrentProcessId();
    const auto me =
        std::find_if(processes.begin(), processes.end(), [self](const SnapshotProcess& p) { return p.id == self; });
    ASSERT_NE(me, processes.end());
    EXPECT_EQ(Lower(ToolhelpProcessName(me->exeFile)), "qvl_win_tests") << me->exeFile;
}

TEST(ProcessListWin32, TheRegistryAdapterAnswersAsTheRegistryDoes) {
    Win32PerformanceRegistry registry;
    std::uint32_t size = 0;
    EXPECT_NE(registry.QueryValue(PerformanceRegistry::kPerflib, "No such value here", nullptr, size),
              kRegistrySuccess);

    // The performance data answers a query for the system object (index 2) on every NT system.
    std::vector<unsigned char> buffer(8);
    size = static_cast<std::uint32_t>(buffer.size());
    const long small = registry.QueryValue(PerformanceRegistry::kPerformanceData, "2", buffer.data(), size);
    EXPECT_EQ(small, kRegistryMoreData);
}

TEST(ProcessListWin32, NamesAreConvertedToTheAnsiCodePage) {
    Win32AnsiCodePage codePage;
    const std::u16string ascii = u"svchost";
    EXPECT_EQ(codePage.FromUtf16(ascii.data(), ascii.size()), "svchost");
    EXPECT_EQ(codePage.FromUtf16(ascii.data(), 0), "");
    if (GetACP() == 1252) {
        const std::u16string accented = u"caf\u00e9";
        EXPECT_EQ(codePage.FromUtf16(accented.data(), accented.size()), "caf\xe9");
        const std::u16string foreign = u"\u4e2d";
        EXPECT_EQ(codePage.FromUtf16(foreign.data(), foreign.size()), "?");
    }
}

} // namespace
} // namespace qvl
