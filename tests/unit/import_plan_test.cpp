#include "editor/app/import_plan.h"

#include "ascii_text_case.h"

#include <gtest/gtest.h>

#include <deque>

namespace qvl {
namespace {

using Kind = ImportStep::Kind;
constexpr ConflictChoice kReplace = ConflictChoice::kReplace;
constexpr ConflictChoice kKeepBoth = ConflictChoice::kKeepBoth;
constexpr ConflictChoice kSkip = ConflictChoice::kSkip;

struct Expected {
    Kind kind;
    int replaces;
    const char* name;
};

TEST(ImportPlan, EachAnswerToAConflictAsATable) {
    const std::vector<std::string> listed = {"Default", "notepad", "notepad (2)", "wordpad"};
    struct Case {
        const char* what;
        std::vector<std::string> imported;
        std::deque<ConflictAnswer> answers;
        std::vector<std::string> asked;
        std::vector<Expected> steps;
    };
    const Case cases[] = {
        {"no conflict", {"paint"}, {}, {}, {{Kind::kAdd, -1, "paint"}}},
        {"replace keeps the listed name",
         {"NOTEPAD", "default"},
         {{kReplace, false}, {kReplace, false}},
         {"NOTEPAD", "default"},
         {{Kind::kReplace, 1, "notepad"}, {Kind::kReplace, 0, "Default"}}},
        {"keep both takes the first free number",
         {"notepad", "Default"},
         {{kKeepBoth, false}, {kKeepBoth, false}},
         {"notepad", "Default"},
         {{Kind::kAdd, -1, "notepad (3)"}, {Kind::kAdd, -1, "Default (2)"}}},
        {"skip, then the same for all",
         {"wordpad", "notepad", "Default", "paint"},
         {{kSkip, false}, {kSkip, true}},
         {"wordpad", "notepad"},
         {{Kind::kSkip, -1, ""}, {Kind::kSkip, -1, ""}, {Kind::kSkip, -1, ""}, {Kind::kAdd, -1, "paint"}}},
        {"a name the file holds twice meets its own earlier copy",
         {"paint", "paint", "paint"},
         {{kKeepBoth, false}, {kReplace, false}},
         {"paint", "paint"},
         {{Kind::kAdd, -1, "paint"}, {Kind::kAdd, -1, "paint (2)"}, {Kind::kReplace, 4, "paint"}}},
    };
    for (const Case& c : cases) {
        std::deque<ConflictAnswer> answers = c.answers;
        std::vector<std::string> asked;
        const auto steps = PlanImport(listed, c.imported, AsciiCase(), [&](const std::string& name) {
            asked.push_back(name);
            const ConflictAnswer answer = answers.front();
            answers.pop_front();
            return std::optional<ConflictAnswer>(answer);
        });
        ASSERT_TRUE(steps) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
        ASSERT_EQ(steps->size(), c.steps.size()) << c.what;
        for (std::size_t n = 0; n < c.steps.size(); ++n) {
            EXPECT_EQ((*steps)[n].kind, c.steps[n].kind) << c.what << " " << n;
            EXPECT_EQ((*steps)[n].replaces, c.steps[n].replaces) << c.what << " " << n;
            EXPECT_EQ((*steps)[n].name, c.steps[n].name) << c.what << " " << n;
        }
    }
}

TEST(ImportPlan, LongNamesAreCutBeforeTheirNumberAndCancelPlansNothing) {
    const std::string longName(31, 'x');
    EXPECT_EQ(FreeKeysetName(longName, {longName}, AsciiCase()), std::string(27, 'x') + " (2)");
    const auto cancelled = PlanImport({"Default"}, {"paint", "default"}, AsciiCase(),
                                      [](const std::string&) { return std::optional<ConflictAnswer>(); });
    EXPECT_FALSE(cancelled);
}

} // namespace
} // namespace qvl
