#include "ascii_text_case.h"

#include "model/window_rule.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

// The list every row chooses from, in list order.
std::vector<RuledKeyset> Keysets() {
    return {
        {"Default", {}},
        {"browser", {}},
        {"browser - Video", {"browser", "Video", ""}},
        {"browser - Video editor", {"browser", "video", "EditorFrame"}},
        {"browser - Mail", {"browser", "Mail", ""}},
        {"browser - Inbox", {"browser", "Inbox", ""}},
        {"mixer", {"", "", "MixerWnd"}},
        {"browser - Any", {"browser", "", ""}},
    };
}

TEST(KeysetChoice, MostSpecificMatchingKeysetWins) {
    struct Row {
        const char* what;
        ForegroundWindow window;
        int index;
    };
    const Row rows[] = {
        {"program only: the keyset named after it", {"browser", "Search", "Frame"}, 1},
        {"case of the program ignored", {"BROWSER", "Search", "Frame"}, 1},
        {"title beats program", {"browser", "My Video - Browser", "Frame"}, 2},
        {"title ignores case", {"browser", "MY VIDEO", "Frame"}, 2},
        {"title and class beat title", {"browser", "Video", "editorframe"}, 3},
        {"ties go to the first in the list", {"browser", "Mail: Inbox", "Frame"}, 4},
        {"class alone, the program from the keyset's name", {"mixer", "Mixer", "MixerWnd"}, 6},
        {"class that differs: no keyset of that program", {"mixer", "Mixer", "MixerWnd2"}, 0},
        {"no keyset for the program: Default", {"notepad", "Video", "EditorFrame"}, 0},
    };
    KeysetChooser chooser(AsciiCase());
    chooser.SetKeysets(Keysets());
    EXPECT_TRUE(chooser.NeedsTitle());
    for (const Row& row : rows)
        EXPECT_EQ(chooser.Choose(row.window).index, row.index) << row.what;
    const KeysetChoice choice = chooser.Choose({"browser", "Video", "EditorFrame"});
    EXPECT_TRUE(choice.matched && choice.byTitle && choice.byClass);
    EXPECT_FALSE(chooser.Choose({"notepad", "", ""}).matched);
    chooser.SetKeysets({{"Default", {}}, {"notepad", {}}}); // without rules nothing else is asked for
    EXPECT_FALSE(chooser.NeedsTitle() || chooser.NeedsClass());
}

TEST(WindowRule, FieldsAreCutAndDescribed) {
    const WindowRule cut = Bounded({std::string(300, 'p'), std::string("ab\0cd", 5), ""});
    EXPECT_EQ(cut.program.size(), kRuleFieldMax);
    EXPECT_EQ(cut.title, "ab");
    EXPECT_EQ(DescribeRule({"browser", "Video", "Frame"}, "Videos", AsciiCase()),
              "program: browser, title: Video, class: Frame");
    EXPECT_EQ(DescribeRule({"browser", "Video", ""}, "Browser - Video", AsciiCase()), "title: Video");
    EXPECT_EQ(DescribeRule({"Browser", "Video", ""}, "browser", AsciiCase()), "title: Video");
    EXPECT_EQ(DescribeRule({}, "browser", AsciiCase()), "");
}

} // namespace
} // namespace qvl
