// A program that is ended from outside in the middle of a save must not take keysets with it: the
// peer saves a changing list over and over, the test ends it at random moments and then loads.
#include "keyset_crash_lists.h"
#include "keyset_fixture.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

namespace qvl {
namespace {

using wintest::ChildProcess;
using wintest::CrashKeyset;
using wintest::InCrashList;
using wintest::RealStore;

// Whether each stored value of `loaded` is that of list `before` or of list `after`.
bool EachValueWhole(const KeysetRecord& loaded, const KeysetRecord& before, const KeysetRecord& after) {
    auto either = [&](std::size_t offset, std::size_t size) {
        const auto* l = reinterpret_cast<const unsigned char*>(&loaded) + offset;
        return std::memcmp(l, reinterpret_cast<const unsigned char*>(&before) + offset, size) == 0 ||
               std::memcmp(l, reinterpret_cast<const unsigned char*>(&after) + offset, size) == 0;
    };
    bool whole = either(0, sizeof(AppPref));
    for (int b = 0; b < kBankCount; ++b)
        for (int c = 0; c < kControlCount; ++c)
            whole = whole && either(AssignmentOffset(b, c), sizeof(ControlAssignment));
    return whole;
}

class KeysetCrashWin32 : public testing::Test {
protected:
    void SetUp() override { RemoveAll(); }
    void TearDown() override { RemoveAll(); }
    static void RemoveAll() {
        Win32Registry registry;
        registry.DeleteTree(Registry::kCurrentUser, "Software\\Vendrake Electronics");
    }
};

TEST_F(KeysetCrashWin32, KeysetsInTheListsBeforeAndAfterASaveSurviveItsEndFromOutside) {
    // QVL_CRASH_SEED repeats a run.
    const char* given = std::getenv("QVL_CRASH_SEED");
    const unsigned seed =
        given != nullptr
            ? static_cast<unsigned>(std::atoi(given))
            : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() / 100 % 1000000);
    std::printf("crash test seed %u (QVL_CRASH_SEED=%u repeats it)\n", seed, seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);

    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, wintest::kCrashStepBlock);
    ASSERT_NE(mapping, nullptr);
    auto* announced = static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(announced, nullptr);

    constexpr int kKills = 50;
    int step = 0;
    int midSave = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        *announced = step;
        ChildProcess peer;
        ASSERT_TRUE(peer.Start("keyset_peer.exe", "crash " + std::to_string(seed) + " " + std::to_string(step)));
        // Past its first save, which starts from whatever the last kill left, and a few steps on.
        const LONG target = step + 1 + static_cast<LONG>(random() % 3);
        for (int waited = 0; *announced < target && waited < 30000; waited += 1)
            Sleep(1);
        ASSERT_GE(*announced, target) << "the peer stopped saving";
        // Somewhere inside the next save (one takes tens of milliseconds here).
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 40000);
        while (std::chrono::steady_clock::now() < until) {
        }
        ASSERT_TRUE(TerminateProcess(peer.Handle(), 9));
        ASSERT_TRUE(peer.Wait(10000).has_value());

        step = *announced; // list step - 1 was whole; list step was being saved
        RealStore reader;
        ASSERT_TRUE(reader.Load()) << "kill " << kill;
        bool partial = false;
        for (int name = -1; name < wintest::kCrashNames; ++name) {
            const KeysetRecord after = CrashKeyset(reader.names, static_cast<int>(seed), step, name);
            const int found = reader.store.Find(after.header.appName).value_or(-1);
            const bool before = InCrashList(static_cast<int>(seed), step - 1, name);
            const bool stays = before && InCrashList(static_cast<int>(seed), step, name);
            partial = partial || (found >= 0) != InCrashList(static_cast<int>(seed), step, name);
            if (!stays)
                continue;
            ASSERT_GE(found, 0) << after.header.appName << " lost at kill " << kill << ", step " << step;
            const KeysetRecord old = CrashKeyset(reader.names, static_cast<int>(seed), step - 1, name);
            EXPECT_TRUE(EachValueWhole(*reader.store.GetKeyset(found), old, after))
                << after.header.appName << " at kill " << kill << ", step " << step;
        }
        midSave += partial ? 1 : 0;
    }
    std::printf("%d kills, %d of them in the middle of a save\n", kKills, midSave);
    UnmapViewOfFile(const_cast<LONG*>(announced));
    CloseHandle(mapping);
}

} // namespace
} // namespace qvl
