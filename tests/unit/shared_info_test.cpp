#include "model/memory_blocks.h"
#include "model/platform_name.h"
#include "model/shared_info.h"
#include "tests/unit/failing_blocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

TEST(SharedInfo, FirstCreatorFindsZeroesExceptLedAndPort) {
    MemoryBlocks blocks;
    CSharedInfo info(blocks);
    ASSERT_TRUE(info.Create());
    EXPECT_EQ(info.GetCurrentKeysetIndex(), 0);
    EXPECT_EQ(info.GetKeysetsChanged(), 0);
    EXPECT_EQ(info.GetWheelLedOn(), 1);
    EXPECT_EQ(info.GetPortOpen(), 1);
    EXPECT_EQ(info.GetDataValue(), 0);
}

TEST(SharedInfo, TwoProgramsSeeEachOthersWritesAndTheSecondResetsLedAndPort) {
    MemoryBlocks blocks;
    CSharedInfo driver(blocks);
    ASSERT_TRUE(driver.Create());
    driver.SetCurrentKeysetIndex(3);
    driver.SetKeysetsChanged(1);
    driver.SetWheelLedOn(0);
    driver.SetPortOpen(0); // the driver is disabled

    CSharedInfo editor(blocks);
    ASSERT_TRUE(editor.Create());
    EXPECT_EQ(editor.GetCurrentKeysetIndex(), 3);
    EXPECT_EQ(editor.GetKeysetsChanged(), 1);
    // Starting the other program sets these two back to 1, whatever the first one had.
    EXPECT_EQ(driver.GetWheelLedOn(), 1);
    EXPECT_EQ(driver.GetPortOpen(), 1);

    editor.SetCurrentKeysetIndex(5);
    editor.SetDataValue(-42);
    EXPECT_EQ(driver.GetCurrentKeysetIndex(), 5);
    EXPECT_EQ(driver.GetDataValue(), -42);
}

TEST(SharedInfo, BlockIsGoneWhenBothProgramsHaveEnded) {
    MemoryBlocks blocks;
    {
        CSharedInfo first(blocks);
        ASSERT_TRUE(first.Create());
        first.SetCurrentKeysetIndex(9);
        first.SetKeysetsChanged(1);
        CSharedInfo second(blocks);
        ASSERT_TRUE(second.Create());
        first.Destroy();
        EXPECT_EQ(second.GetCurrentKeysetIndex(), 9); // still held by the second
    }
    EXPECT_FALSE(blocks.Exists(kSharedInfoName));
    CSharedInfo next(blocks);
    ASSERT_TRUE(next.Create());
    EXPECT_EQ(next.GetCurrentKeysetIndex(), 0);
    EXPECT_EQ(next.GetKeysetsChanged(), 0);
}

TEST(SharedInfo, CurrentKeysetIsSixteenBitsSignExtended) {
    MemoryBlocks blocks;
    CSharedInfo info(blocks);
    ASSERT_TRUE(info.Create());
    struct Case {
        int written, read;
    } cases[] = {{0, 0}, {1, 1}, {0xFFFF, -1}, {-2, -2}, {32767, 32767}, {40000, 40000 - 65536}, {70000, 4464}};
    for (const Case& c : cases) {
        info.SetCurrentKeysetIndex(c.written);
        EXPECT_EQ(info.GetCurrentKeysetIndex(), c.read) << c.written;
    }
    // The neighbouring bytes stay untouched by the 16-bit store.
    EXPECT_EQ(info.GetKeysetsChanged(), 0);
}

TEST(SharedInfo, DataValueIsTheWordAtOffsetFourOfTheSecondBlock) {
    MemoryBlocks blocks;
    CSharedInfo info(blocks);
    ASSERT_TRUE(info.Create());
    info.SetDataValue(0x01020304);
    auto view = blocks.Open(kDataAreaName, kDataAreaSize);
    const auto* bytes = static_cast<const unsigned char*>(view->Address());
    const unsigned char expected[8] = {0, 0, 0, 0, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof expected), 0);
}

TEST(SharedInfo, AnUnusableBlockFailsCreateAndIsNeverTouched) {
    struct Case {
        const char* name;
        bool mapOnly;
    } cases[] = {
        {kSharedInfoName, false},
        {kSharedInfoName, true}, // the mapping exists but its view cannot be mapped
        {kDataAreaName, false},
        {kDataAreaName, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.mapOnly ? " view" : " mapping"));
        fakes::FailingBlocks blocks;
        (c.mapOnly ? blocks.failMap : blocks.failCreate).insert(c.name);
        CSharedInfo info(blocks);
        EXPECT_FALSE(info.Create());
        // Accessors of a block that could not be mapped read zero and ignore writes.
        info.SetKeysetsChanged(1);
        info.SetDataValue(5);
        if (std::strcmp(c.name, kSharedInfoName) == 0) {
            EXPECT_FALSE(info.IsMapped());
            EXPECT_EQ(info.GetKeysetsChanged(), 0);
            EXPECT_EQ(info.GetWheelLedOn(), 0);
        } else {
            EXPECT_EQ(info.GetDataValue(), 0);
            EXPECT_EQ(info.GetPortOpen(), 1);
        }
    }
}

TEST(PlatformName, NamesThePlatformFromIdAndBuild) {
    struct Case {
        std::uint32_t platformId, build;
        const char* name;
    } cases[] = {
        {kPlatformWin32Nt, 1381, "WINNT"},
        {kPlatformWin32Nt, 7601, "WINNT"},
        {kPlatformWin32Windows, 950, "WIN95"},
        {kPlatformWin32Windows, 1997, "WIN95"},
        {kPlatformWin32Windows, 1998, "WIN98"},
        {kPlatformWin32Windows, 0x040A0000u | 2222u, "WIN98"}, // only the low word counts
        {kPlatformWin32Windows, 0x04000000u | 1111u, "WIN95"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(PlatformNameFor(c.platformId, c.build), c.name) << c.platformId << " " << c.build;
}

} // namespace
} // namespace qvl
