// The editor's start trace: the lines the benchmark reads, in order, the panel's paint only once.
#include "editor/app/editor_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvl {
namespace {

class StepClock final : public TraceWriter {
public:
    std::int64_t Now() override { return now += 10; }
    std::int64_t Frequency() override { return 10000000; }
    void Write(const std::string& line) override { lines.push_back(line); }

    std::int64_t now = 1000;
    std::vector<std::string> lines;
};

TEST(EditorTrace, StartLoadAndTheFirstPaintOnly) {
    StepClock clock;
    CEditorTrace trace(clock);
    trace.Start();
    trace.Load();
    trace.Loaded(100);
    trace.Painted();
    trace.Painted(); // every later paint of the panel
    EXPECT_EQ(clock.lines, (std::vector<std::string>{"start t=1010 frequency=10000000", "load t=1020",
                                                     "loaded t=1030 keysets=100", "paint t=1040"}));
}

} // namespace
} // namespace qvl
