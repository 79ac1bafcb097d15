// The keys of the device's events through the player: the dispatcher over the player, the recording input
// underneath, and the player's loop played by hand on a fake clock. Each row is a script of device events
// and clock moves ("t200": 200 ms later the loop runs, and "@200" marks the moment among the events).
#include "driver_rig.h"

#include "driver/core/note_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qvl {
namespace {

using fakes::DriverRig;
using fakes::Events;

struct Steps3 {
    const char* press = "";
    const char* release = "";
    bool repeat = false;
};

struct PlayerRig : DriverRig {
    explicit PlayerRig(bool testDialog = false) {
        if (testDialog) {
            RunEditor();
            desktop.foreground = desktop.Add({"Test", "#32770", kNoWindow, 500, fakes::kEditorProcess});
        } else {
            Run("notepad", 7);
        }
    }
    std::uint64_t start = loop.now;
    void Play(const std::string& script) {
        std::istringstream words(script);
        for (std::string word; words >> word;) {
            if (word == "stop") {
                player.StopAll();
            } else if (word[0] == 't') {
                loop.now += std::stoul(word.substr(1));
                input.events.push_back("@" + std::to_string(loop.now - start));
                player.Run();
            } else {
                Press(word);
            }
        }
    }
    void Press(const std::string& word) {
        const int status = word[0] == 'W' ? 0x81 : 0x80;
        const int key = word[0] == 'P' ? 0x05 : word[0] == 'S' ? 0x04 : 0;
        const int data = word[0] == 'W' ? 0x7F : key | (word[1] == '+' ? 0x40 : 0);
        Feed({status, data});
    }
};

TEST(StepPlayer, PlaysTheEventsInOrderWithTheirWaitsHeldKeysReleaseStepsAndRepeats) {
    const struct {
        const char* what;
        Steps3 play, stop, wheel;
        const char* script;
        Events events;
    } rows[] = {
        {"a wait is honoured on the loop; Stop pressed during it comes after, and so does Play's release",
         {"Ctrl+S, wait 200, \"ab\", Enter"},
         {},
         {},
         "P+ S+ S- t199 P- t1",
         {"+Ctrl", "+S", "-S", "-Ctrl", "@199", "@200", "\"ab\"", "+Enter", "-Enter", "+Space", "-Space"}},
        {"a key left down stays down while held; the release steps, then it goes up",
         {"Shift down, A", "K"},
         {},
         {},
         "P+ t1000 P-",
         {"+Shift", "+A", "-A", "@1000", "+K", "-K", "-Shift"}},
        {"a key two buttons hold stays down until the second lets go",
         {"Shift down"},
         {"Shift down, B"},
         {},
         "P+ S+ P- S-",
         {"+Shift", "+Shift", "+B", "-B", "-Shift"}},
        {"a keystroke repeats its key-down after the delay, then at the rate; one key-up; nothing after",
         {"", "", true},
         {},
         {},
         "P+ t249 t1 t49 t1 P- t500",
         {"+Enter", "@249", "@250", "+Enter", "@299", "@300", "+Enter", "-Enter", "@800"}},
        {"steps repeat once they have finished and the interval has passed",
         {"A, wait 80", "", true},
         {},
         {},
         "P+ t250 t50 t30 P- t500",
         {"+A", "-A", "@250", "+A", "-A", "@300", "@330", "+A", "-A", "@830"}},
        {"a release stops the repeat of a press still waiting its turn",
         {"wait 300"},
         {"", "", true},
         {},
         "P+ S+ t100 S- t200 t1000",
         {"@100", "@300", "+Space", "-Space", "@1300"}},
        {"a wheel step holds nothing after it",
         {},
         {},
         {"Shift down, Right"},
         "W",
         {"+Shift", "+Right", "-Right", "-Shift"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PlayerRig rig;
        rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {row.play.press, row.play.release, row.play.repeat});
        rig.store.SetAssignmentSteps(0, kMainBank, kStop, {row.stop.press, row.stop.release, row.stop.repeat});
        rig.store.SetAssignmentSteps(0, kMainBank, kWheelClockwise, {row.wheel.press, "", false});
        rig.Play(row.script);
        EXPECT_EQ(rig.input.Take(), row.events);
        EXPECT_TRUE(rig.input.down.empty());
        EXPECT_FALSE(rig.player.Playing());
    }
}

TEST(StepPlayer, StepKeysGoOutWithTheirScanCodesTheKeystrokeAsItAlwaysHas) {
    PlayerRig rig;
    rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {"Ctrl+S", "", false});
    rig.Play("P+ P- S+ S-");
    EXPECT_EQ(rig.input.Take(), (Events{"+Ctrl", "+S", "-S", "-Ctrl", "+Space", "-Space"}));
    EXPECT_EQ(rig.input.steps, 4);
}

TEST(StepPlayer, TheTestWindowGetsTheStepsWithoutTheirWaits) {
    PlayerRig rig(true);
    rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {"A, wait 5000, B", "wait 5000, C", false});
    rig.Play("P+ P-");
    EXPECT_EQ(rig.input.Take(), (Events{"+A", "-A", "+B", "-B", "+C", "-C"}));
}

// Disable, Exit, Reload Driver, a lost port, the lock and the session's end all stop the player (the tray's
// tests see each of them let go of what is held): whatever it was doing, nothing more goes out, nothing stays
// down, and the late release of a button held before plays no release steps.
TEST(StepPlayer, StopAllEndsTheWaitDropsWhatWaitsAndLeavesNothingDown) {
    const struct {
        const char* what;
        Steps3 play;
        const char* before;
        Events letGo;
    } rows[] = {
        {"in a wait, with Stop waiting", {"A down, wait 5000, B", "C"}, "P+ S+ S- t10", {"-A"}},
        {"repeating", {"Shift+X down", "C", true}, "P+ t260", {"-X", "-Shift"}},
        {"a keystroke held", {"", "C"}, "P+", {"-Enter"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        PlayerRig rig;
        rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {row.play.press, row.play.release, row.play.repeat});
        rig.Play(row.before);
        rig.input.Take();
        rig.Play("stop");
        EXPECT_EQ(rig.input.Take(), row.letGo);
        rig.Play("t10000 P- t10000");
        const Events after = rig.input.Take();
        EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](const std::string& e) { return e[0] == '@'; }));
        EXPECT_TRUE(rig.input.down.empty());
        EXPECT_EQ(rig.player.Run(), std::nullopt);
    }
}

// Presses behind a long wait: kMaxWaiting of them wait their turn, the others are dropped whole, and the
// releases of those send nothing; every release of a press that waited still lets go.
TEST(StepPlayer, TheQueueHoldsABoundedNumberOfPressesAndDropsTheNewest) {
    PlayerRig rig;
    rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {"wait 10000", "", false});
    rig.Play("P+ P-");
    for (std::size_t press = 0; press < CStepPlayer::kMaxWaiting + 8; ++press)
        rig.Play("S+ S-");
    EXPECT_EQ(rig.player.Waiting(), 2 * CStepPlayer::kMaxWaiting + 1);
    rig.Play("t10000");
    const Events events = rig.input.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), "+Space"), static_cast<long>(CStepPlayer::kMaxWaiting));
    EXPECT_EQ(std::count(events.begin(), events.end(), "-Space"), static_cast<long>(CStepPlayer::kMaxWaiting));
    EXPECT_TRUE(rig.input.down.empty());
}

// A stored text that is not steps: the keystroke goes out instead, and it is told once, not per press.
TEST(StepPlayer, UnreadableStepsSendTheKeystrokeAndAreToldOnce) {
    struct Told final : TrackingObserver {
        void ForegroundTracked(int, const std::string&, bool, bool, const std::string&) override {}
        void ProgramUnreachable(const std::string&) override {}
        void ForwardDropped(int) override {}
        void KeysetsFailed(const char*, const StoreResult&) override {}
        void StepsUnreadable(const StepsProblem& problem) override { told.push_back(problem.message); }
        Events told;
    } observer;
    PlayerRig rig;
    rig.dispatcher.SetTrackingObserver(&observer);
    rig.store.SetAssignmentSteps(0, kMainBank, kPlay, {"Ctrl+Foo", std::string(1100, 'A'), false});
    rig.Play("P+ P- P+ P-");
    EXPECT_EQ(rig.input.Take(), (Events{"+Enter", "-Enter", "+Enter", "-Enter"}));
    EXPECT_EQ(observer.told, (Events{"Step 1, \"Ctrl+Foo\": there is no key named \"Foo\".",
                                     "The steps are longer than 1024 characters."}));
    rig.dispatcher.SetTrackingObserver(nullptr);
}

TEST(StepPlayer, RepeatTimingFollowsTheKeyboardSettings) {
    const struct {
        int delay, speed;
        std::uint32_t delayMs, intervalMs;
    } rows[] = {{0, 0, 250, 400}, {1, 31, 500, 33}, {3, 15, 1000, 63}, {9, -4, 1000, 400}};
    for (const auto& row : rows) {
        const RepeatTiming timing = RepeatTimingFor(row.delay, row.speed);
        EXPECT_EQ(timing.delayMs, row.delayMs) << row.delay;
        EXPECT_EQ(timing.intervalMs, row.intervalMs) << row.speed;
    }
}

TEST(StepPlayer, TheNoteShowsTheStepsCutAfterAFew) {
    const struct {
        const char* steps;
        const char* note;
    } rows[] = {
        {"Ctrl+S, Tab, Enter", "Play: Ctrl+S, Tab, Enter"},
        {"Ctrl+S, \"take 1\", Tab, Tab, Enter, wait 250, Alt+F4", "Play: Ctrl+S, \"take 1\", Tab, Tab, Enter..."},
        {"\"caf\xC3\xA9 and a text that is far too long for the note\"",
         "Play: \"caf? and a text that is far too long..."},
    };
    for (const auto& row : rows) {
        const Steps steps = ParseSteps(row.steps).steps;
        EXPECT_EQ(ActionNoteText(kMainBank, kPlay, fakes::KeyAssignment(0), 1, &steps), row.note);
    }
}

} // namespace
} // namespace qvl
