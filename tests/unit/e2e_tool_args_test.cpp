// What the tools read from their command lines and write to their logs: a handle read in the
// wrong base, or a text that breaks a log line, makes a scenario check the wrong thing.
#include "input_script.h"
#include "log_line.h"
#include "probe_options.h"
#include "tool_args.h"

#include <gtest/gtest.h>

#include <iterator>

namespace qvl::e2e {
namespace {

TEST(ToolArgs, HandlesAreAlwaysBase16) {
    EXPECT_EQ(ParseHandle("0x1a2b"), std::optional<std::uint64_t>(0x1A2B));
    EXPECT_EQ(ParseHandle("0X1A2B"), std::optional<std::uint64_t>(0x1A2B));
    EXPECT_EQ(ParseHandle("10"), std::optional<std::uint64_t>(0x10)); // as MinGW's %p prints it
    EXPECT_EQ(ParseHandle("0xffffffffffffffff"), std::optional<std::uint64_t>(UINT64_MAX));
    EXPECT_EQ(ParseHandle(""), std::nullopt);
    EXPECT_EQ(ParseHandle("0x"), std::nullopt);
    EXPECT_EQ(ParseHandle("0x12g"), std::nullopt);
    EXPECT_EQ(ParseHandle("0x10000000000000000"), std::nullopt);
}

TEST(ToolArgs, IntegersAreDecimalUnlessPrefixed) {
    EXPECT_EQ(ParseInteger("10"), std::optional<long long>(10));
    EXPECT_EQ(ParseInteger("0x10"), std::optional<long long>(16));
    EXPECT_EQ(ParseInteger("-120"), std::optional<long long>(-120));
    EXPECT_EQ(ParseInteger("+7"), std::optional<long long>(7));
    EXPECT_EQ(ParseInteger("-0x8001"), std::optional<long long>(-0x8001));
    EXPECT_EQ(ParseInteger("1a"), std::nullopt);
    EXPECT_EQ(ParseInteger("-"), std::nullopt);
    EXPECT_EQ(ParseInteger("0xffffffffffffffff"), std::nullopt);
}

TEST(ToolArgs, HexBytesInAnySpacing) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(ParseHexBytes("b3"), std::optional<Bytes>(Bytes{0xB3}));
    EXPECT_EQ(ParseHexBytes("80 45 80 05"), std::optional<Bytes>(Bytes{0x80, 0x45, 0x80, 0x05}));
    EXPECT_EQ(ParseHexBytes("8045,8005"), std::optional<Bytes>(Bytes{0x80, 0x45, 0x80, 0x05}));
    EXPECT_EQ(ParseHexBytes(""), std::optional<Bytes>(Bytes{}));
    EXPECT_EQ(ParseHexBytes("8"), std::nullopt);
    EXPECT_EQ(ParseHexBytes("8 0"), std::nullopt);
    EXPECT_EQ(ParseHexBytes("zz"), std::nullopt);
    EXPECT_EQ(FormatHexBytes({0x80, 0x05, 0xFF}), "80 05 ff");
}

TEST(ToolArgs, OptionValuesInBothSpellings) {
    const char* argv[] = {"tool", "--log=a.log", "--title", "My Title", "--title"};
    char** args = const_cast<char**>(argv);
    int i = 1;
    EXPECT_EQ(OptionValue(5, args, i, "--title"), std::nullopt);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(OptionValue(5, args, i, "--log"), std::optional<std::string>("a.log"));
    EXPECT_EQ(i, 2);
    EXPECT_EQ(OptionValue(5, args, i, "--title"), std::optional<std::string>("My Title"));
    EXPECT_EQ(i, 4);
    EXPECT_EQ(OptionValue(5, args, i, "--title"), std::nullopt); // no value left
    EXPECT_EQ(i, 4);
    const char* prefix[] = {"tool", "--logfile", "x"};
    i = 1;
    EXPECT_EQ(OptionValue(3, const_cast<char**>(prefix), i, "--log"), std::nullopt);
}

TEST(LogLine, FieldsInOrder) {
    const LogLine line = LogLine("llmouse")
                             .Number("t", -5)
                             .Word("msg", "WM_LBUTTONDOWN")
                             .Hex("hwnd", 0x2004C)
                             .Pair("origin", -4, 12)
                             .Text("title", "QVL Probe");
    EXPECT_EQ(line.Str(), "llmouse t=-5 msg=WM_LBUTTONDOWN hwnd=0x2004c origin=-4,12 title=\"QVL Probe\"");
    EXPECT_EQ(HexValue(0), "0x0");
}

TEST(LogLine, TextsNeverBreakTheLine) {
    EXPECT_EQ(QuoteText(""), "\"\"");
    EXPECT_EQ(QuoteText("Ask \"me\""), "\"Ask \\\"me\\\"\"");
    EXPECT_EQ(QuoteText("a\\b"), "\"a\\\\b\"");
    EXPECT_EQ(QuoteText("one\ntwo\r\n\t"), "\"one\\ntwo\\r\\n\\t\"");
    EXPECT_EQ(QuoteText(std::string("caf\xE9\x01\x7F", 6)), "\"caf\\xe9\\x01\\x7f\"");
    EXPECT_EQ(QuoteText(std::string("a\0b", 3)), "\"a\\x00b\"");
}

TEST(InputScript, EveryStep) {
    std::string error;
    struct Row {
        const char* token;
        InputStep::Kind kind;
        unsigned vk;
        bool up;
        bool extended;
        long x;
        long y;
    };
    const Row rows[] = {
        {"key:0x41:down", InputStep::Kind::kKey, 0x41, false, false, 0, 0},
        {"key:13:up", InputStep::Kind::kKey, 13, true, false, 0, 0},
        {"key:0x2e:down:ext", InputStep::Kind::kKey, 0x2E, false, true, 0, 0},
        {"move:5:-3", InputStep::Kind::kMove, 0, false, false, 5, -3},
        {"abs:65535:0", InputStep::Kind::kAbsolute, 0, false, false, 65535, 0},
        {"cursor:10:20", InputStep::Kind::kCursor, 0, false, false, 10, 20},
        {"wheel:-120", InputStep::Kind::kWheel, 0, false, false, -120, 0},
        {"right:up", InputStep::Kind::kButton, 0, true, false, 0, 0},
        {"char:0x2713:down", InputStep::Kind::kChar, 0x2713, false, false, 0, 0},
    };
    for (const Row& row : rows) {
        const std::optional<InputStep> step = ParseInputStep(row.token, error);
        ASSERT_TRUE(step) << row.token << ": " << error;
        EXPECT_EQ(step->kind, row.kind) << row.token;
        EXPECT_EQ(step->vk, row.vk) << row.token;
        EXPECT_EQ(step->up, row.up) << row.token;
        EXPECT_EQ(step->extended, row.extended) << row.token;
        EXPECT_EQ(step->x, row.x) << row.token;
        EXPECT_EQ(step->y, row.y) << row.token;
    }
    EXPECT_EQ(ParseInputStep("middle:down", error)->button, InputStep::Button::kMiddle);
}

TEST(InputScript, RefusesMalformedSteps) {
    const char* bad[] = {
        "",         "key",  "key:0x41",   "key:0:down", "key:0x100:down", "key:0x41:press", "key:65:up:x",  "move:1",
        "move:a:b", "left", "left:click", "wheel",      "wheel:1:2",      "tap:0x41",       "abs:2000000:0"};
    for (const char* token : bad) {
        std::string error;
        EXPECT_FALSE(ParseInputStep(token, error)) << token;
        EXPECT_FALSE(error.empty()) << token;
    }
}

TEST(ProbeOptions, ChildrenAndTheirPlaces) {
    const char* argv[] = {"qvl_probe",
                          "--log",
                          "p.log",
                          "--child",
                          "Edit:",
                          "--child",
                          "QvlPanel:Mix: Left:20,30,100,40",
                          "--child",
                          "Button:a:b",
                          "--focus",
                          "2",
                          "--moves",
                          "--rect",
                          "0,0,640,480",
                          "--menu",
                          "Open QVL2 Editor|-|Exit"};
    std::string error;
    const std::optional<ProbeOptions> options =
        ParseProbeOptions(static_cast<int>(std::size(argv)), const_cast<char**>(argv), error);
    ASSERT_TRUE(options) << error;
    ASSERT_EQ(options->children.size(), 3u);
    EXPECT_EQ(options->children[0].className, "Edit");
    EXPECT_EQ(options->children[0].title, "");
    EXPECT_FALSE(options->children[0].rect);
    EXPECT_EQ(options->children[1].title, "Mix: Left"); // colons in a title stay
    ASSERT_TRUE(options->children[1].rect);
    EXPECT_EQ(options->children[1].rect->x, 20);
    EXPECT_EQ(options->children[1].rect->height, 40);
    EXPECT_EQ(options->children[2].title, "a:b");
    EXPECT_FALSE(options->children[2].rect);
    EXPECT_EQ(options->focus, 2);
    EXPECT_TRUE(options->logMoves);
    EXPECT_EQ(options->rect.width, 640);
    EXPECT_EQ(options->menuItems, (std::vector<std::string>{"Open QVL2 Editor", "-", "Exit"}));
    EXPECT_EQ(options->title, "QVL Probe");
}

TEST(ProbeOptions, RefusesWhatCannotBeBuilt) {
    const std::vector<std::vector<const char*>> bad = {
        {"qvl_probe"},                                         // no log
        {"qvl_probe", "--log", "p.log", "--focus", "1"},       // no such child
        {"qvl_probe", "--log", "p.log", "--child", "NoTitle"}, // CLASS:TITLE
        {"qvl_probe", "--log", "p.log", "--child", ":title"},  // no class
        {"qvl_probe", "--log", "p.log", "--rect", "0,0,0,10"}, // empty window
        {"qvl_probe", "--log", "p.log", "--rect", "1,2,3"},    // three numbers
        {"qvl_probe", "--log", "p.log", "--colour", "red"},    // unknown
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(ParseProbeOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), error))
            << args.back();
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace qvl::e2e
