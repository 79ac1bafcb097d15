#include "base/module_path_win32.h"
#include "appbase/qvl_app_win32.h"
#include "appbase/run_entry.h"
#include "editor/app/editor_app.h"
#include "model/memory_blocks.h"
#include "model/named_blocks_win32.h"
#include "model/registry_win32.h"
#include "model/text_case_win32.h"
#include "tests/unit/failing_blocks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

namespace qvl {
namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

TEST(QVLApp, TheSharedBlockIsCreatedForBothProgramsAndReleasedAtExit) {
    CQVLApp app(Module());
    app.DeterminePlatformName();
    EXPECT_EQ(app.GetOSName(), "WINNT");
    ASSERT_TRUE(app.CreateSharedInfo());

    // Another user of the block (the driver) sees what the application writes, and the reverse.
    Win32NamedBlocks blocks;
    CSharedInfo other(blocks);
    ASSERT_TRUE(other.Create());
    app.SetCurrentKeysetIndex(3);
    app.SetKeysetsChanged(1);
    EXPECT_EQ(other.GetCurrentKeysetIndex(), 3);
    EXPECT_EQ(other.GetKeysetsChanged(), 1);
    other.SetWheelLedOn(0);
    EXPECT_EQ(app.GetWheelLedOn(), 0);
    other.SetKeysetsChanged(0);
    EXPECT_EQ(app.GetKeysetsChanged(), 0);

    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.GetSharedInfo(), nullptr);
    EXPECT_EQ(app.GetCurrentKeysetIndex(), 0) << "without a block the fields read 0";
    app.SetCurrentKeysetIndex(5);
    EXPECT_EQ(other.GetCurrentKeysetIndex(), 3) << "and writes go nowhere";
}

TEST(QVLApp, ABlockThatCannotBeSharedIsReplacedByAPrivateOne) {
    auto blocks = std::make_unique<fakes::FailingBlocks>();
    blocks->failMap.insert(kSharedInfoName);
    CQVLApp app(Module(), std::move(blocks));
    EXPECT_FALSE(app.CreateSharedInfo());
    ASSERT_NE(app.GetSharedInfo(), nullptr);
    EXPECT_FALSE(app.GetSharedInfo()->IsMapped());
    app.SetCurrentKeysetIndex(2);
    EXPECT_EQ(app.GetCurrentKeysetIndex(), 0);

    EXPECT_TRUE(app.CreatePrivateSharedInfo());
    EXPECT_TRUE(app.GetSharedInfo()->IsMapped());
    EXPECT_EQ(app.GetWheelLedOn(), 1);
    app.SetCurrentKeysetIndex(2);
    EXPECT_EQ(app.GetCurrentKeysetIndex(), 2);
}

std::optional<std::string> RunValue() {
    char value[1024] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_ANY, &type, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ || size != std::strlen(value) + 1)
        return std::string("wrong type or size");
    return std::string(value);
}

TEST(RunKeyEntry, WritesTheDriversCommandLineAsTextAndRemovesIt) {
    Win32Registry registry;
    RunKeyEntry entry(registry);
    ASSERT_TRUE(entry.Write("Z:\\somewhere\\qvl2rs").Done());
    EXPECT_EQ(RunValue(), std::optional<std::string>("Z:\\somewhere\\qvl2rs"));
    ASSERT_TRUE(entry.Write("\"C:\\Program Files\\QVL2\\qvl2rs\"").Done());
    EXPECT_EQ(RunValue(), std::optional<std::string>("\"C:\\Program Files\\QVL2\\qvl2rs\""));
    EXPECT_TRUE(entry.Remove().Done());
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_TRUE(entry.Remove().Done()) << "a missing entry is no error";
}

TEST(EditorServices, TheProgramPathAndTheSystemsLowerCase) {
    const std::string path = ModulePath(nullptr);
    EXPECT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_NE(path.find('\\'), std::string::npos);
    EXPECT_EQ(SystemTextCase().Lower("WaveEdit.EXE"), "waveedit.exe");
    EXPECT_EQ(SystemTextCase().Lower("\xC4UDIO"), "\xE4udio"); // the code page's letters too
}

TEST(EditorServices, TheOverviewFontIsSmallerOnTheNtFamily) {
    for (const auto& [os, height] : {std::pair{"WINNT", 10}, {"WIN95", 11}, {"WIN98", 11}})
        EXPECT_EQ(OverviewFontHeight(os), height) << os;
}

} // namespace
} // namespace qvl
