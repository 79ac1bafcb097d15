#include "ascii_code_page.h"
#include "driver/output/process_list_perf_data.h"
#include "perf_data_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

using namespace qvl::testing;
using Names = std::vector<std::string>;
using Ids = std::vector<std::uint32_t>;

struct Listed {
    bool ok;
    Names names;
    Ids ids;
};

Listed Walk(const std::vector<unsigned char>& block, std::uint32_t processIndex = kProcessIndex,
            std::uint32_t idIndex = kIdProcessIndex) {
    // An exact-size copy, so that any read past the end trips the address sanitizer.
    std::unique_ptr<unsigned char[]> exact(new unsigned char[block.size()]);
    if (!block.empty())
        std::memcpy(exact.get(), block.data(), block.size());
    Listed listed{false, {}, {}};
    fakes::AsciiCodePage codePage;
    listed.ok =
        ReadProcessInstances(exact.get(), block.size(), processIndex, idIndex, codePage, listed.names, listed.ids);
    return listed;
}

const std::vector<std::pair<std::u16string, std::uint32_t>> kSystemProcesses = {
    {u"Idle", 0}, {u"System", 4}, {u"explorer", 1932}, {u"WaveEdit", 2260}, {u"_Total", 0}};

TEST(PerfDataWalk, ListsEveryInstanceOfTheProcessObjectWithItsId) {
    const Listed listed = Walk(BuildPerfData({MemoryObject(), ProcessObject(kSystemProcesses)}));
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"Idle", "System", "explorer", "WaveEdit", "_Total"}));
    EXPECT_EQ(listed.ids, (Ids{0, 4, 1932, 2260, 0}));
}

TEST(PerfDataWalk, FindsTheProcessObjectAndTheIdCounterWhereverTheyStand) {
    PerfObject process = ProcessObject({{u"notepad", 612}});
    // The ID counter last, with its value at another place in the counter block.
    process.counters = {{kProcessorTimeIndex, 8}, {kCreatingProcessIndex, 12}, {kIdProcessIndex, 20}};
    process.instances[0].values = {1, 2, 612};
    PerfObject thread{kThreadIndex, {{kIdProcessIndex, 8}}, {{u"0", {999}}}};
    const Listed listed = Walk(BuildPerfData({thread, MemoryObject(), process}));
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"notepad"}));
    EXPECT_EQ(listed.ids, (Ids{612}));
}

TEST(PerfDataWalk, GivesNoListWithoutTheProcessObjectItsIdCounterOrAnInstance) {
    PerfObject withoutId = ProcessObject({{u"notepad", 612}});
    withoutId.counters.erase(withoutId.counters.begin() + 1);
    withoutId.instances[0].values = {1, 4};
    PerfObject withoutInstances = ProcessObject({});
    PerfObject noInstanceKind = ProcessObject({{u"x", 1}});
    noInstanceKind.noInstances = true;

    const std::vector<std::vector<PerfObject>> blocks = {
        {},                                                           // no object at all
        {MemoryObject(), PerfObject{kThreadIndex, {}, {{u"0", {}}}}}, // as Wine answers: no Process object
        {withoutId},
        {withoutInstances},
        {noInstanceKind},
    };
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Listed listed = Walk(BuildPerfData(blocks[i]));
        EXPECT_FALSE(listed.ok) << "block " << i;
        EXPECT_TRUE(listed.names.empty() && listed.ids.empty()) << "block " << i;
    }
}

TEST(PerfDataWalk, AppendsToWhatTheListsHoldAndLeavesThemAloneOnFailure) {
    fakes::AsciiCodePage codePage;
    Names names{"earlier"};
    Ids ids{1};
    const auto good = BuildPerfData({ProcessObject({{u"a", 2}})});
    ASSERT_TRUE(ReadProcessInstances(good.data(), good.size(), kProcessIndex, kIdProcessIndex, codePage, names, ids));
    EXPECT_EQ(names, (Names{"earlier", "a"}));

    // The second of two instances is broken: nothing of the first may be left behind either.
    auto broken = BuildPerfData({ProcessObject({{u"b", 3}, {u"c", 4}})});
    PerfObjectType object;
    std::memcpy(&object, broken.data() + sizeof(PerfDataBlock) + 16, sizeof object);
    object.numInstances = 3; // one more than there is room for
    std::memcpy(broken.data() + sizeof(PerfDataBlock) + 16, &object, sizeof object);
    EXPECT_FALSE(
        ReadProcessInstances(broken.data(), broken.size(), kProcessIndex, kIdProcessIndex, codePage, names, ids));
    EXPECT_EQ(names, (Names{"earlier", "a"}));
    EXPECT_EQ(ids, (Ids{1, 2}));
}

TEST(PerfDataWalk, NamesBeyondAsciiBecomeQuestionMarksOnTheHost) {
    const Listed listed = Walk(BuildPerfData({ProcessObject({{u"caf\u00e9", 8}, {u"\U0001F600x", 9}})}));
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (Names{"caf?", "?x"}));
}

TEST(PerfDataWalk, AnyCutOfAValidBlockGivesNoListAndNoReadOutsideIt) {
    const auto whole = BuildPerfData({MemoryObject(), ProcessObject(kSystemProcesses)});
    ASSERT_TRUE(Walk(whole).ok);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const Listed listed = Walk(std::vector<unsigned char>(whole.begin(), whole.begin() + length));
        EXPECT_FALSE(listed.ok) << "cut at " << length;
    }
}

TEST(PerfDataWalk, LengthsAndOffsetsThatPointAnywhereAreCaughtBeforeTheyAreFollowed) {
    const auto whole = BuildPerfData({MemoryObject(), ProcessObject(kSystemProcesses)});
    // Every 32-bit field in turn set to values that point outside, to zero, or backwards.
    for (std::size_t at = 0; at + 4 <= whole.size(); at += 4) {
        for (std::uint32_t value : {0u, 1u, 3u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFF0u}) {
            auto damaged = whole;
            std::memcpy(damaged.data() + at, &value, sizeof value);
            const Listed listed = Walk(damaged);
            if (listed.ok) {
                EXPECT_EQ(listed.names.size(), listed.ids.size());
            }
        }
    }
}

TEST(CounterNames, LooksUpNamesIgnoringCaseAndTakesTheLowestIndex) {
    const auto text = CounterText({{"230", "Process"}, {"784", "ID Process"}, {"232", "Thread"}, {"1000", "thread"}});
    const CounterNames table = CounterNames::Parse(text.data(), text.size(), 2000);
    EXPECT_EQ(table.IndexOf("Process"), 230u);
    EXPECT_EQ(table.IndexOf("PROCESS"), 230u);
    EXPECT_EQ(table.IndexOf("id process"), 784u);
    EXPECT_EQ(table.IndexOf("THREAD"), 232u);
    EXPECT_EQ(table.IndexOf("Processes"), std::nullopt);
    EXPECT_EQ(table.IndexOf("Proces"), std::nullopt);
}

TEST(CounterNames, KeepsOnlyDecimalIndexesUpToTheLastCounter) {
    const auto text = CounterText({{"230", "Process"},
                                   {"1848", "Beyond"},
                                   {"x12", "Bad"},
                                   {"12345678901", "Huge"},
                                   {"1847", "Last"},
                                   {"", "Empty"},
                                   {"500", "AfterTheEnd"}});
    const CounterNames table = CounterNames::Parse(text.data(), text.size(), 1847);
    EXPECT_EQ(table.IndexOf("Process"), 230u);
    EXPECT_EQ(table.IndexOf("Last"), 1847u);
    EXPECT_EQ(table.IndexOf("Beyond"), std::nullopt);
    EXPECT_EQ(table.IndexOf("Bad"), std::nullopt);
    EXPECT_EQ(table.IndexOf("Huge"), std::nullopt);
    // An empty index string ends the list, as the empty string after the last pair does.
    EXPECT_EQ(table.IndexOf("Empty"), std::nullopt);
    EXPECT_EQ(table.IndexOf("AfterTheEnd"), std::nullopt);
}

TEST(CounterNames, ALaterNameForTheSameIndexReplacesTheEarlierOne) {
    const auto text = CounterText({{"230", "Old"}, {"230", "Process"}});
    const CounterNames table = CounterNames::Parse(text.data(), text.size(), 300);
    EXPECT_EQ(table.IndexOf("Process"), 230u);
    EXPECT_EQ(table.IndexOf("Old"), std::nullopt);
}

TEST(CounterNames, StopsAtTheEndOfTheValueEvenWithoutTheClosingZeroes) {
    const std::string text("230\0Process\0"
                           "232\0Thre",
                           20);
    const CounterNames table = CounterNames::Parse(text.data(), text.size(), 300);
    EXPECT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.IndexOf("Process"), 230u);
    EXPECT_EQ(CounterNames::Parse(text.data(), 0, 300).Count(), 0u);
}

} // namespace
} // namespace qvl
