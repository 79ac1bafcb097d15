#include "model/steps.h"
#include "model/utf_text.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

// What a text reads as, printed again: names in any case and spacing come back as the printer writes them.
TEST(Steps, ReadsEveryKindOfStepAndPrintsItBackInOneForm) {
    const struct {
        const char* text;
        const char* printed;
    } cases[] = {
        {"ctrl+shift+s", "Ctrl+Shift+S"},
        {"Shift + Control+s", "Ctrl+Shift+S"},
        {" Alt+F4 ,Win+D,  enter ", "Alt+F4, Win+D, Enter"},
        {"pageup, page  down, num3, Ctrl+Num +", "Page Up, Page Down, Num 3, Ctrl+Num +"},
        {"Shift down, Ctrl+X down, Shift up", "Shift down, Ctrl+X down, Shift up"},
        {"Page Up down, Up up, Down", "Page Up down, Up up, Down"},
        {"\"take 1\", \"a, b\"", "\"take 1\", \"a, b\""},
        {"\"say \\\"hi\\\" \\\\ ok\"", "\"say \\\"hi\\\" \\\\ ok\""},
        {"WAIT 250, wait 1, wait 10000", "wait 250, wait 1, wait 10000"},
        {"Comma, ;, slash, Key 123, key 7, Escape, Return", "Comma, Semicolon, Slash, F12, Key 7, Esc, Enter"},
        {"Left Shift, Right Win, Win, Key 254", "Left Shift, Right Win, Win, Key 254"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        const StepsParse parse = ParseSteps(c.text);
        ASSERT_TRUE(parse.Ok()) << c.text << ": " << DescribeStepsError(*parse.error);
        EXPECT_EQ(PrintSteps(parse.steps), c.printed) << c.text;
    }
}

TEST(Steps, HoldTheKeysModifiersAndCharactersWritten) {
    const StepsParse parse = ParseSteps("Ctrl+Alt+Delete, \"\xC3\xA9\xF0\x9D\x84\x9E\", wait 5, Shift up");
    ASSERT_TRUE(parse.Ok());
    const Steps expected = {
        {StepKind::kTap, {46, kStepCtrl | kStepAlt}, {}, 0},
        {StepKind::kText, {}, u"\u00E9\xD834\xDD1E", 0}, // beyond U+FFFF as its two halves
        {StepKind::kWait, {}, {}, 5},
        {StepKind::kUp, {16, 0}, {}, 0},
    };
    EXPECT_EQ(parse.steps, expected);
}

TEST(Steps, RefuseWhatCannotBeReadNamingTheStepAndWhy) {
    const std::string longest(1024, 'A');
    std::string many = "A";
    for (int i = 1; i < 257; ++i)
        many += ",A";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"Ctrl+S, Ctrl+Foo", "Step 2, \"Ctrl+Foo\": there is no key named \"Foo\"."},
        {"Ctrl+Foo down", "Step 1, \"Ctrl+Foo down\": there is no key named \"Foo\"."},
        {"A,,B", "Step 2, \"\": the step is empty."},
        {"A, ", "Step 2, \"\": the step is empty."},
        {"Ctrl+", "Step 1, \"Ctrl+\": a key must follow \"Ctrl+\"."},
        {"Key 0, Key 255", "Step 1, \"Key 0\": there is no key named \"Key 0\"."},
        {"wait 0", "Step 1, \"wait 0\": a wait is a number of milliseconds from 1 to 10000."},
        {"A, wait 10001", "Step 2, \"wait 10001\": a wait is a number of milliseconds from 1 to 10000."},
        {"wait", "Step 1, \"wait\": a wait is a number of milliseconds from 1 to 10000."},
        {"\"abc, d", "Step 1, \"\"abc, d\": the text has no closing quote."},
        {"\"a\\nb\"", "Step 1, \"\"a\\nb\"\": a backslash in a text must be followed by \" or \\."},
        {"\"ab\" x", "Step 1, \"\"ab\" x\": there is more after the closing quote."},
        {"\"\"", "Step 1, \"\"\"\": the text is empty."},
        {"\"\xFF\"", "The text is not valid UTF-8."},
        {longest + "A", "The steps are longer than 1024 characters."},
        {many, "There are more than 256 steps."},
    };
    for (const auto& c : cases) {
        const StepsParse parse = ParseSteps(c.text);
        ASSERT_FALSE(parse.Ok()) << c.text;
        EXPECT_TRUE(parse.steps.empty());
        EXPECT_EQ(DescribeStepsError(*parse.error), c.message) << c.text;
    }
    EXPECT_TRUE(ParseSteps("\"" + std::string(1022, 'x') + "\"").Ok());
    EXPECT_EQ(ParseSteps(many.substr(2)).steps.size(), 256u);
}

// Every key with every set of modifiers, tapped, held and let go, reads back as it was printed.
TEST(Steps, WhatThePrinterWritesReadsBackToTheSameSteps) {
    for (int vk = 1; vk <= 254; ++vk) {
        for (std::uint8_t modifiers = 0; modifiers < 16; ++modifiers) {
            const Steps steps = {{StepKind::kTap, {static_cast<std::uint8_t>(vk), modifiers}, {}, 0},
                                 {StepKind::kDown, {static_cast<std::uint8_t>(vk), modifiers}, {}, 0},
                                 {StepKind::kUp, {static_cast<std::uint8_t>(vk), modifiers}, {}, 0}};
            const StepsParse parse = ParseSteps(PrintSteps(steps));
            ASSERT_TRUE(parse.Ok()) << PrintSteps(steps);
            ASSERT_EQ(parse.steps, steps) << PrintSteps(steps);
        }
    }
    const Steps text = {{StepKind::kText, {}, u"\"q\\ \u00FC \xD83D\xDE00, x", 0}, {StepKind::kWait, {}, {}, 77}};
    EXPECT_EQ(ParseSteps(PrintSteps(text)).steps, text);
}

TEST(Steps, Utf16OfALoneHalfPrintsAsReplacementAndBadUtf8IsRefused) {
    EXPECT_EQ(Utf8FromUtf16(u"a\xD800"
                            "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_FALSE(Utf16FromUtf8("\xC0\x80"));     // overlong NUL
    EXPECT_FALSE(Utf16FromUtf8("\xED\xA0\x80")); // a surrogate written as UTF-8
    EXPECT_EQ(Utf16FromUtf8("\xF4\x8F\xBF\xBF"), std::u16string(u"\xDBFF\xDFFF"));
}

} // namespace
} // namespace qvl
