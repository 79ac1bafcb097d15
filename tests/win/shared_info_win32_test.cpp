#include "model/named_blocks_win32.h"
#include "model/platform_name.h"
#include "model/shared_info.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace qvl {
namespace {

using wintest::RunProgram;

TEST(SharedInfoWin32, FirstCreatorFindsAFreshBlock) {
    Win32NamedBlocks blocks;
    CSharedInfo info(blocks);
    ASSERT_TRUE(info.Create());
    EXPECT_EQ(info.GetCurrentKeysetIndex(), 0);
    EXPECT_EQ(info.GetKeysetsChanged(), 0);
    EXPECT_EQ(info.GetWheelLedOn(), 1);
    EXPECT_EQ(info.GetPortOpen(), 1);
    EXPECT_EQ(info.GetDataValue(), 0);
}

TEST(SharedInfoWin32, AnotherProcessFindsAFreshBlockOnceThisOneHasLetGo) {
    {
        Win32NamedBlocks blocks;
        CSharedInfo info(blocks);
        ASSERT_TRUE(info.Create());
        info.SetCurrentKeysetIndex(4);
        info.SetKeysetsChanged(1);
    }
    EXPECT_EQ(RunProgram("shared_info_peer.exe", "first"), std::optional<DWORD>(0));
}

TEST(SharedInfoWin32, TwoProcessesSeeEachOthersWrites) {
    Win32NamedBlocks blocks;
    CSharedInfo info(blocks);
    ASSERT_TRUE(info.Create());
    info.SetCurrentKeysetIndex(-1);
    info.SetKeysetsChanged(1);
    info.SetPortOpen(0); // disabled driver
    info.SetDataValue(-42);

    ASSERT_EQ(RunProgram("shared_info_peer.exe", "swap -1 1 -42 7 58"), std::optional<DWORD>(0));

    EXPECT_EQ(info.GetCurrentKeysetIndex(), 7);
    EXPECT_EQ(info.GetKeysetsChanged(), 0);
    EXPECT_EQ(info.GetWheelLedOn(), 0);
    EXPECT_EQ(info.GetPortOpen(), 1); // the peer's start set it back
    EXPECT_EQ(info.GetDataValue(), 58);
}

TEST(SharedInfoWin32, ANameTakenByAnotherKindOfObjectFailsCreate) {
    // The name is held by an event, so no mapping of that name can be created or opened.
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, kSharedInfoName);
    ASSERT_NE(squatter, nullptr);
    {
        Win32NamedBlocks blocks;
        CSharedInfo info(blocks);
        EXPECT_FALSE(info.Create());
        EXPECT_FALSE(info.IsMapped());
        info.SetKeysetsChanged(1); // must not fault
        EXPECT_EQ(info.GetKeysetsChanged(), 0);
    }
    CloseHandle(squatter);
}

TEST(PlatformNameWin32, NamesTheNtFamilyUnderWine) {
    char name[kPlatformNameSize] = {};
    PlatformName(name);
    EXPECT_STREQ(name, "WINNT");
}

} // namespace
} // namespace qvl
