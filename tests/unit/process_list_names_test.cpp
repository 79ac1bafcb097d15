#include "ascii_code_page.h"
#include "driver/output/process_list_names.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

TEST(ToolhelpProcessName, DropsTheFolderAndTheExtensionAsTheSnapshotReportsThem) {
    struct Case {
        const char* exeFile;
        const char* name;
    } cases[] = {
        {"C:\\WINDOWS\\NOTEPAD.EXE", "NOTEPAD"},
        {"notepad.exe", "notepad"},
        {"C:\\Program Files\\Audio\\WaveEdit.EXE", "WaveEdit"},
        {"C:\\dir.v2\\prog.exe", "prog"},
        {"ab.vdk.exe", "ab"}, // ".vdk" costs four characters more
        {"C:\\x\\ab.vdk.exe", "ab"},
        {"C:\\a.vdk\\prog.exe", "prog"},  // only the file name counts
        {"player.VDK.exe", "player.VDK"}, // the rule is case-sensitive
        {"my.vdkfile.exe", "my.vdk"},
        {"KERNEL32", "KERN"}, // no extension: four characters go all the same
        {"abcd", ""},
        {"abc", ""}, // too short: an empty name
        {"x.vdk", ""},
        {"C:\\WINDOWS\\", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToolhelpProcessName(c.exeFile), c.name) << c.exeFile;
}

TEST(AsciiCodePage, KeepsAsciiAndMarksEveryOtherCharacterOnce) {
    fakes::AsciiCodePage codePage;
    struct Case {
        std::u16string text;
        std::string ansi;
    } cases[] = {
        {u"", ""},
        {u"svchost", "svchost"},
        {u"_Total", "_Total"},
        {u"\u00e9t\u00e9", "?t?"},
        {u"\U0001F3B5x", "?x"},                                          // a surrogate pair is one character
        {std::u16string(1, static_cast<char16_t>(0xD800)) + u"a", "?a"}, // a lone half is one too
        {std::u16string(1, static_cast<char16_t>(0xDC00)), "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(codePage.FromUtf16(c.text.data(), c.text.size()), c.ansi);
}

} // namespace
} // namespace qvl
