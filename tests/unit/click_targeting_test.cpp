#include "output_fakes.h"

#include "driver/output/click_targeting.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::FakeDesktop;

constexpr std::uint32_t kThread = 70;

// Two top-level windows of the thread in front, with children and a grandchild, and a window of
// another thread.
struct WindowTree {
    FakeDesktop desktop;
    WindowId main = Add("Main", "Frame", kNoWindow);
    WindowId ok = Add("OK", "Button", main);
    WindowId pane = Add("", "Pane", main);
    WindowId notes1 = Add("Notes", "Edit", pane);
    WindowId volume = Add("Volume", "Slider", pane);
    WindowId toolsLabel = Add("Tools", "Static", main);
    WindowId tools = Add("Tools", "ToolFrame", kNoWindow);
    WindowId notes2 = Add("Notes", "Edit", tools);
    WindowId elsewhere = desktop.Add({"Elsewhere", "Frame", kNoWindow, 80, 8});

    WindowId Add(const char* title, const char* className, WindowId parent) {
        return desktop.Add({title, className, parent, kThread, 7});
    }
    WindowId Find(const char* className, const char* title) {
        return FindTargetWindow(desktop, kThread, className, title);
    }
};

TEST(FindTargetWindow, TopLevelByTextChildrenByClassAndText) {
    WindowTree tree;
    const struct {
        const char* what;
        const char* className;
        const char* title;
        WindowId found;
    } rows[] = {
        {"top-level by text, whatever its class", "Whatever", "Tools", tree.tools},
        {"top-level by text with its own class", "Frame", "Main", tree.main},
        {"child by class and text", "Button", "OK", tree.ok},
        {"child needs its class too", "Static", "OK", kNoWindow},
        {"child needs its text too", "Button", "Cancel", kNoWindow},
        {"a child without text", "Pane", "", tree.pane},
        {"grandchildren are searched", "Slider", "Volume", tree.volume},
        {"the last of two matching children", "Edit", "Notes", tree.notes2},
        {"a later top-level match beats an earlier child", "Static", "Tools", tree.tools},
        {"letter case matters", "Edit", "notes", kNoWindow},
        {"letter case matters at the top level", "Frame", "main", kNoWindow},
        {"only the thread's own windows", "Frame", "Elsewhere", kNoWindow},
        {"empty keys find nothing", "", "", kNoWindow},
    };
    for (const auto& row : rows)
        EXPECT_EQ(tree.Find(row.className, row.title), row.found) << row.what;
}

TEST(FindTargetWindow, KeysAreCutToTheSearchBuffers) {
    WindowTree tree;
    const std::string longTitle(255, 't');
    const WindowId window = tree.Add(longTitle.c_str(), "Frame", kNoWindow);
    EXPECT_EQ(tree.Find("Frame", (longTitle + "more").c_str()), window);
}

} // namespace
} // namespace qvl
