#include "editor/app/help_topics.h"
#include "model/key_names.h"
#include "editor/app/overview_text.h"
#include "output_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

TEST(KeyNames, EveryKeyReadsAsItsName) {
    // clang-format off
    const std::pair<int, const char*> rows[] = {
        // The long-standing names.
        {33, "Page Up"}, {34, "Page Down"}, {35, "End"}, {36, "Home"}, {37, "Left"}, {38, "Up"}, {39, "Right"},
        {40, "Down"}, {45, "Insert"}, {96, "Num 0"}, {103, "Num 7"}, {104, "Num 8"}, {105, "Num 9"}, {106, "Num *"},
        {107, "Num +"}, {109, "Num -"}, {110, "Num Del"}, {111, "Num /"}, {112, "F1"}, {117, "F6"}, {123, "F12"},
        {144, "Num Lock"}, {145, "Scroll Lock"},
        // Letters and digits are their character.
        {'A', "A"}, {'Q', "Q"}, {'Z', "Z"}, {'0', "0"}, {'5', "5"}, {'9', "9"},
        // Keys without a printing character, and the punctuation keys.
        {46, "Delete"}, {13, "Enter"}, {27, "Esc"}, {9, "Tab"}, {32, "Space"}, {8, "Backspace"}, {19, "Pause"},
        {44, "Print Screen"}, {91, "Win"}, {92, "Win"}, {124, "F13"}, {135, "F24"}, {186, ";"}, {187, "="},
        {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "`"}, {219, "["}, {220, "\\"}, {221, "]"}, {222, "'"},
        {7, "Key 7"}, {255, "Key 255"},
    };
    // clang-format on
    for (const auto& [vk, name] : rows)
        EXPECT_EQ(KeyName(static_cast<std::uint16_t>(vk)), name) << vk;
    for (int vk = 1; vk < 256; ++vk) {
        const std::string name = KeyName(static_cast<std::uint16_t>(vk));
        ASSERT_FALSE(name.empty()) << vk;
        for (char c : name)
            EXPECT_GE(static_cast<unsigned char>(c), 32) << vk;
    }
}

TEST(KeyNames, PrefixesComeFromTheModifierBitsWithOrWithoutTheExtendedFlag) {
    const char* modifiers[] = {"", "Shft+", "Ctrl+", "CtlShft+", "Alt+", "ShftAlt+", "CtlAlt+", "CtlShftAlt+"};
    for (std::uint16_t mods = 0; mods < 8; ++mods) {
        EXPECT_EQ(ModifierPrefix(mods), modifiers[mods]);
        EXPECT_EQ(ModifierPrefix(static_cast<std::uint16_t>(mods | 8)), modifiers[mods]);
    }
    const char* flags[] = {"", "Ctl+", "Alt+", "Shft+", "CtlAlt+", "CtlShft+", "CtlAltShft+", "AltShft+"};
    for (std::int16_t code = 0; code < 8; ++code)
        EXPECT_EQ(FlagPrefix(code), flags[code]);
    EXPECT_EQ(FlagPrefix(128), "");
    EXPECT_EQ(FlagPrefix(-1), "");

    EXPECT_EQ(SpecialKeyName(9), "Tab");
    EXPECT_EQ(SpecialKeyName(0x00010009), "ShftTab");
    EXPECT_EQ(SpecialKeyName(0x0002002E), "Delete");
    EXPECT_EQ(SpecialKeyName(65), "");
}

TEST(OverviewText, FitAndCentreAtTheirEdges) {
    EXPECT_EQ(Fit("Play", 1, 14), "Play          ");
    EXPECT_EQ(Fit(std::string(13, 'x'), 1, 14), std::string(13, 'x') + " ");
    EXPECT_EQ(Fit(std::string(14, 'x'), 1, 14), std::string(13, 'x') + " ");
    EXPECT_EQ(Fit(std::string(20, 'x'), 2, 14), std::string(20, 'x') + std::string(8, ' '));
    EXPECT_EQ(Fit("", 1, 14), std::string(14, ' '));
    EXPECT_EQ(Centre("Wheel", 29), std::string(13, ' ') + "Wheel");
    EXPECT_EQ(Centre(std::string(29, 'x'), 29), " " + std::string(29, 'x'));
    // The division truncates towards zero: one character too long still gets its space.
    EXPECT_EQ(Centre(std::string(30, 'x'), 29), " " + std::string(30, 'x'));
    EXPECT_EQ(Centre(std::string(31, 'x'), 29), std::string(31, 'x'));
}

class OverviewCells : public ::testing::Test {
protected:
    OverviewCells() {
        strings.texts = {{kLeftClickNameId, "Left click"},
                         {kRightClickNameId, "Right click"},
                         {kAlternateWheelNameId, "Alternate Wheel Selector"},
                         {kFirstWheelModeNameId, "Horizontal Move"},
                         {kFirstWheelModeNameId + 6, "Special Mode"},
                         {kWheelNameId, "Wheel"}};
        for (int bank = 0; bank < kBankCount; ++bank)
            for (int control = 0; control < 5; ++control)
                strings.texts[kTransportNameIds[bank][control]] = "Play";
        InitKeyset(keyset, "Default", 0, strings);
    }
    ControlAssignment& At(int bank, int control) { return AssignmentAt(keyset, bank, control); }
    std::optional<std::string> Cell(int bank, int control) {
        return KeyCellText(&keyset, control, bank, kTransportLineWidth, strings).Compose();
    }

    fakes::FakeStrings strings;
    KeysetRecord keyset{};
};

std::string Lines(const std::string& a, const std::string& b, const std::string& c) {
    return Fit(a, 1, 14) + Fit(b, 1, 14) + c;
}

TEST_F(OverviewCells, TransportCellsOfANewKeysetAndTheEdgeCases) {
    EXPECT_EQ(Cell(kMainBank, kPlay), Lines("Play", "Enter", std::string(14, ' ')));
    EXPECT_EQ(Cell(kMainBank, kPlay)->size(), 42u);
    EXPECT_EQ(Cell(kOptionBank, kPlay), std::nullopt) << "a name with neither keystroke nor click shows nothing";

    At(1, kStop) = At(0, kStop);
    At(1, kStop).hotKeyVk = 116; // F5
    At(1, kStop).hotKeyMods = kHotKeyControl | kHotKeyShift;
    At(1, kStop).flagCode = 1;
    EXPECT_EQ(Cell(1, kStop), Lines("Play", "Ctl+CtlShft+F5", std::string(14, ' ')));

    At(2, kRecord).hotKeyVk = 112;
    At(2, kRecord).hotKeyMods = kHotKeyAlt;
    CopyToField(At(2, kRecord).controlName, "A name of 14 c");
    EXPECT_EQ(Cell(2, kRecord), Lines("A name of 14 ", "Alt+F1", std::string(14, ' ')));

    At(3, kRewind).hotKeyVk = 46; // Delete, which the hot-key control marks extended
    At(3, kRewind).hotKeyMods = kHotKeyAlt | kHotKeyExtended;
    EXPECT_EQ(KeyCellText(&keyset, kRewind, 3, 14, strings).KeyText(), "Alt+Delete");

    At(3, kFastForward).mouseMode = kRightClick;
    EXPECT_EQ(Cell(3, kFastForward), Lines("Play", "", "Right click"));

    EXPECT_EQ(KeyCellText(nullptr, kPlay, 0, 14, strings).Compose(), std::nullopt);
}

TEST_F(OverviewCells, WheelCellOfANewKeysetAndOfTheOtherBank) {
    const std::string top = Fit(std::string(13, ' ') + "Wheel", 1, 29) + " ";
    EXPECT_EQ(WheelCellText(&keyset, 0, strings).Compose(),
              top + Fit("Left", 1, 15) + "|" + Fit("Right", 1, 14) + std::string(30, ' '));

    At(1, kWheelClockwise).mouseMode = kSpecialMode;
    At(1, kWheelCounterClockwise).hotKeyVk = 'A';
    const std::string text = WheelCellText(&keyset, 1, strings).Compose();
    EXPECT_EQ(text.substr(0, 60),
              Fit(Centre("Wheel LED Off", 29), 1, 29) + " " + Fit("A", 1, 15) + "|" + std::string(14, ' '));
    EXPECT_EQ(text.substr(60), std::string(9, ' ') + "Special Mode");
    EXPECT_EQ(SplitLines("abcdef", 3), "abc\r\ndef");
}

// Lines break between words: the padded fields keep their lines, a longer click name moves whole words
// to the next line, and only a word longer than a line is cut.
TEST_F(OverviewCells, CellLinesBreakBetweenWords) {
    At(0, kRecord).mouseMode = 3;
    const std::string cell = Lines("Play", "", "Alternate Wheel Selector");
    EXPECT_EQ(Cell(0, kRecord), cell);
    EXPECT_EQ(SplitLines(cell, 14), "Play          \r\n" + std::string(14, ' ') + "\r\nAlternate \r\nWheel Selector");
    EXPECT_EQ(SplitLines("Horizontal Scrolling", 10), "Horizontal\r\n Scrolling");
    EXPECT_EQ(SplitLines("a Supercalifragilistic b", 8), "a \r\nSupercal\r\nifragili\r\nstic b");
}

TEST(HelpTopics, TopicsWithParagraphsAndListItems) {
    const auto topics = ParseHelpTopics("ignored\r\n# First\r\nOne line\r\n  flows on.\r\n\r\nNext.\r\n"
                                        "- item one\r\n  goes on\r\n2. item two\r\n# Second\r\nText");
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].title, "First");
    EXPECT_EQ(topics[0].text, "One line flows on.\r\n\r\nNext.\r\n- item one goes on\r\n2. item two");
    EXPECT_EQ(topics[1].text, "Text");
}

} // namespace
} // namespace qvl
