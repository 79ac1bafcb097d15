#include "latin1_code_page.h"

#include "editor/app/keyset_text.h"
#include "model/keyset_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace qvl {
namespace {

const fakes::Latin1CodePage kCodePage;

TextKeyset Keyset(const char* name, const std::function<void(TextKeyset&)>& fill = {}) {
    TextKeyset keyset;
    InitKeyset(keyset.record, name, 0, NoStrings());
    if (fill)
        fill(keyset);
    return keyset;
}

ControlAssignment& At(TextKeyset& keyset, int bank, int control) {
    return AssignmentAt(keyset.record, bank, control);
}

// Every field of an assignment, in each of its forms the editor keeps.
const std::vector<std::pair<const char*, std::vector<TextKeyset>>> kRoundTrips = {
    {"a new keyset", {Keyset("waveedit")}},
    {"keys, special keys, flags and the extended bit off and on where a key has it otherwise",
     {Keyset("keys",
             [](TextKeyset& k) {
                 At(k, 0, 0).hotKeyVk = 'S', At(k, 0, 0).hotKeyMods = kHotKeyControl | kHotKeyShift | kHotKeyAlt;
                 At(k, 0, 1).hotKeyVk = 37, At(k, 0, 1).hotKeyMods = kHotKeyShift; // Left from the keypad
                 At(k, 0, 2).hotKeyVk = 'A', At(k, 0, 2).hotKeyMods = kHotKeyExtended;
                 At(k, 0, 3).hotKeyVk = 188, At(k, 0, 3).specialKey = kSpecialShiftTab; // both kept; the key wins
                 const std::uint32_t specials[] = {kSpecialEnter, kSpecialTab, kSpecialSpace, kSpecialBackspace,
                                                   kSpecialDelete};
                 for (int n = 0; n < 5; ++n)
                     At(k, 1, n).specialKey = specials[n];
                 for (int n = 0; n < 7; ++n)
                     At(k, 2, n).flagCode = static_cast<std::int16_t>(n + 1);
             })}},
    {"every mouse mode of both kinds, numbers the editor has no word for, points, windows, capture, speeds",
     {Keyset("mouse",
             [](TextKeyset& k) {
                 const std::int16_t buttonModes[] = {1, 2, 3, 7, -5};
                 for (int n = 0; n < 5; ++n)
                     At(k, 3, n).mouseMode = buttonModes[n];
                 const std::int16_t wheelModes[] = {1, 2, 3, 4, 5, 6, 7, -1};
                 for (int n = 0; n < 8; ++n)
                     At(k, n / 2, 5 + n % 2).mouseMode = wheelModes[n];
                 At(k, 0, 5).wheelSpeed = 1;
                 At(k, 0, 6).wheelSpeed = 128, At(k, 1, 6).wheelSpeed = 100;
                 At(k, 0, 4).clickX = 0, At(k, 0, 4).clickY = -2000000000;
                 At(k, 0, 4).captureOnFirstPress = 1;
                 CopyToField(At(k, 0, 4).windowTitle, "Say \"hi\" \\ or \t tab, x; y: z");
                 CopyToField(At(k, 0, 4).windowClass, "Afx:400000:8");
             })}},
    {"names beyond ASCII, bytes the code page lacks, rules and steps",
     {Keyset("caf\xE9 \x81",
             [](TextKeyset& k) {
                 CopyToField(At(k, 1, 0).controlName, "\xC0 la carte \x9F");
                 k.rule = WindowRule{"Caf\xE9", "Untitled \"1\"", "Frame\x90"};
                 k.steps.Set(0, 0,
                             AssignmentSteps{"Ctrl+S, wait 50, \"na\xC3\xAFve \\\"x\\\\\", Comma", "Shift up", true});
                 k.steps.Set(0, 6, AssignmentSteps{"Key 254, Win+R", "", false});
             }),
      Keyset("browser - Video",
             [](TextKeyset& k) {
                 k.rule = WindowRule{"browser", "Video", ""};
             })}},
};

TEST(KeysetText, WrittenThenReadGivesBackEveryValueTheRuleAndTheSteps) {
    for (const auto& [what, keysets] : kRoundTrips) {
        const std::string text = WriteKeysetText(keysets, kCodePage, {"a comment"});
        const KeysetTextRead read = ReadKeysetText(text, kCodePage);
        ASSERT_TRUE(read.Ok()) << what << ": " << read.error << "\n" << text;
        ASSERT_EQ(read.keysets.size(), keysets.size()) << what;
        for (std::size_t n = 0; n < keysets.size(); ++n) {
            EXPECT_EQ(std::memcmp(&read.keysets[n].record, &keysets[n].record, sizeof(KeysetRecord)), 0) << what << "\n"
                                                                                                         << text;
            EXPECT_EQ(read.keysets[n].rule, keysets[n].rule) << what;
            EXPECT_EQ(read.keysets[n].steps, keysets[n].steps) << what;
        }
        EXPECT_EQ(WriteKeysetText(read.keysets, kCodePage, {"a comment"}), text) << what;
    }
}

// What a person sees: one line per assignment that differs from an empty one, in the editor's words.
TEST(KeysetText, WritesOneLineInTheEditorsWordsPerAssignmentThatIsNotEmpty) {
    TextKeyset keyset = Keyset("waveedit", [](TextKeyset& k) {
        for (BankRecord& bank : k.record.banks)
            for (ControlAssignment& a : bank.controls)
                InitAssignment(a);
        At(k, 1, 0).hotKeyVk = 36, At(k, 1, 0).hotKeyMods = kHotKeyControl | kHotKeyExtended;
        CopyToField(At(k, 1, 0).controlName, "Home");
        At(k, 0, 6).hotKeyVk = 39, At(k, 0, 6).mouseMode = kHorizontalDrag, At(k, 0, 6).flagCode = 0;
        At(k, 0, 4).mouseMode = kLeftClick, At(k, 0, 4).clickX = 10, At(k, 0, 4).clickY = 20;
        CopyToField(At(k, 0, 4).windowTitle, "Untitled");
        k.rule.program = "wave";
    });
    EXPECT_EQ(WriteKeysetText({keyset}, kCodePage),
              "Quorvel 2 keysets, version 1\r\n\r\n"
              "Keyset: \"waveedit\"\r\n"
              "Rule: program \"wave\"\r\n"
              "MainBank, Record: mouse Left click; point 10, 20; window \"Untitled\"\r\n"
              "MainBank, Wheel Right: key Right; extended no; mouse Horizontal Drag\r\n"
              "Option Bank, Play: name \"Home\"; key Ctrl+Home\r\n");
}

struct Refusal {
    std::string lines; // after the form's first line and "Keyset: "k""
    int line;
    std::string message;
};

const Refusal kRefusals[] = {
    {"Option Bank, Play: key Ctr", 3, "Line 3: \"Option Bank, Play\": there is no key named \"Ctr\"."},
    {"# a comment\n\nMainBank, Play: colour red", 5, "Line 5: \"MainBank, Play\": there is no field \"colour\"."},
    {"Main Bnk, Play: key A", 3, "there is no bank \"Main Bnk\""},
    {"MainBank, Pause: key A", 3, "there is no control \"Pause\""},
    {"MainBank, Play key A", 3, "This is neither a \"Keyset:\" line"},
    {"MainBank, Play: name \"Play", 3, "the name has no closing quote"},
    {"MainBank, Play: name \"123456789012345678901234567890123\"", 3, "the name has more than 32 characters"},
    {"MainBank, Play: name \"\xE2\x82\xAC\"", 3, "the name holds a character that this system's code page"},
    {"MainBank, Play: press \"Ctrl+S, Ctrl+Foo\"", 3,
     "the press steps, step 2 (\"Ctrl+Foo\"): there is no key named \"Foo\""},
    {"MainBank, Play: key A\nMainBank, Play: key B", 4, "given a second time (first on line 3)"},
    {"MainBank, Play: key A; key B", 3, "the field \"key\" is given twice"},
    {"MainBank, Play: key Win+R", 3, "a key press cannot hold Win"},
    {"MainBank, Play: extended yes", 3, "\"extended\" belongs to a key press"},
    {"MainBank, Play: mouse Horizontal Drag", 3, "there is no mouse action \"Horizontal Drag\" for a transport key"},
    {"MainBank, Wheel Left: speed 129", 3, "the speed is a whole number from 1 to 128"},
    {"MainBank, Play: point 1", 3, "a point is two whole numbers"},
    {"MainBank, Play: capture yes", 3, "\"capture\" takes no value"},
    {"Rule: program \"a\"\nRule: title \"b\"", 4, "the keyset has a rule already, on line 3"},
    {"Rule: window \"a\"", 3, "a rule has no field \"window\""},
    {"Keyset: \"a\\\\b\"", 3, "a keyset's name cannot hold a backslash"},
    {"MainBank, Play: name \"caf\xE9\"", 3, "The line is not UTF-8 text"},
};

TEST(KeysetText, ARefusedTextSaysWhichLineAndWhatWasExpected) {
    for (const Refusal& r : kRefusals) {
        const KeysetTextRead read =
            ReadKeysetText("Quorvel 2 keysets, version 1\r\nKeyset: \"k\"\r\n" + r.lines, kCodePage);
        EXPECT_TRUE(read.keysets.empty()) << r.lines;
        EXPECT_EQ(read.line, r.line) << r.lines << ": " << read.error;
        EXPECT_NE(read.error.find(r.message), std::string::npos) << r.lines << ": " << read.error;
    }
}

// The text as a whole: a later version of the form, no first line, nothing before the first keyset, none
// at all, UTF-16; and which bytes are text rather than a keyset file or a collection.
TEST(KeysetText, ATextFromALaterWriterOrWithoutItsFirstLineIsRefused) {
    const std::pair<std::string, std::string> texts[] = {
        {"\xEF\xBB\xBF# by hand\nQuorvel 2 keysets, version 2\nKeyset: \"k\"\nMainBank, Play: tint blue",
         "Line 2: These keysets were written by a later QVL2, in version 2 of keysets as text; this QVL2 reads "
         "version 1."},
        {"Keyset: \"k\"", "Line 1: Keysets as text begin with the line \"Quorvel 2 keysets, version 1\"."},
        {"Quorvel 2 keysets, version 1\nMainBank, Play: key A", "Line 2: \"MainBank, Play\" comes before the first"},
        {"Quorvel 2 keysets, version 1\n\n", "Line 2: The text holds no keyset"},
        {"\xFF\xFEQ\0u\0", "Line 1: The text is UTF-16; save it as UTF-8"},
    };
    for (const auto& [text, message] : texts)
        EXPECT_EQ(ReadKeysetText(text, kCodePage).error.rfind(message, 0), 0u) << ReadKeysetText(text, kCodePage).error;

    KeysetRecord record;
    InitKeyset(record, "k", 0, NoStrings());
    CKeysetFile file;
    file.Init("k.qvl", &record);
    EXPECT_FALSE(IsKeysetText(file.Bytes()));
    EXPECT_FALSE(IsKeysetText(std::string("QVLX\1\0\0\0", 8)));
    EXPECT_FALSE(IsKeysetText(std::string("GIF89a\0\0", 8)));
    EXPECT_TRUE(IsKeysetText("\xEF\xBB\xBF\r\n# mine\r\nquorvel 2 keysets, version 9"));
    EXPECT_TRUE(IsKeysetText("Keyset: \"caf\xE9\"\n")); // refused by line, not as "not a keyset file"
}

} // namespace
} // namespace qvl
