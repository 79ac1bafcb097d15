// Fakes of the driver's output ports: the input stream, the desktop's windows, the mouse pointer, the
// question to the user, the process list, the wheel's idle timer, and a mouse object that notes what
// the dispatcher asks of it. Key events are written as "+Ctrl" (down) and "-Ctrl" (up), mouse buttons
// as "+LButton" and "-LButton", relative moves as "move dx dy" and absolute ones as "moveto x y", so
// expected sequences read like the keyboard and the mouse. A step's key events read like a keystroke's
// ("+S") and count among `steps`; typed text is written quoted ("\"ab\"").
#pragma once

#include "driver/core/wheel_idle_timer.h"
#include "driver/output/desktop.h"
#include "driver/output/input_synth.h"
#include "driver/output/mouse_action.h"
#include "driver/output/mouse_pointer.h"
#include "driver/output/process_source.h"
#include "driver/output/step_player.h"
#include "driver/output/user_question.h"

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

namespace qvl::fakes {

using Events = std::vector<std::string>;

std::string KeyName(std::uint8_t vk);
// A window as the journal writes it: "0x1010".
std::string WindowName(WindowId window);

// Virtual-key codes of the mouse buttons, which RecordingInput keeps among the keys that are down.
constexpr std::uint8_t kVkLeftButton = 0x01;
constexpr std::uint8_t kVkRightButton = 0x02;

class RecordingInput final : public InputSynth {
public:
    explicit RecordingInput(Events* journal = nullptr) : journal_(journal) {}
    void Key(std::uint8_t vk, bool up) override;
    void StepKey(std::uint8_t vk, bool up) override;
    void Text(std::u16string_view text) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;
    Events Take() { return std::exchange(events, Events()); }

    Events events;
    int steps = 0;               // key events sent as a step's, with the scan code
    std::set<std::uint8_t> down; // keys and mouse buttons that Windows would hold down now
    std::function<void(std::uint32_t flags, std::int32_t dx, std::int32_t dy)> onMouse; // the pointer follows
    std::atomic<int> overlaps{0}; // calls that began while another one was still running

private:
    // Counts a call that overlaps another: output is only ever made one call at a time.
    class Entry {
    public:
        explicit Entry(RecordingInput& input) : input_(input) {
            if (input_.inside_.fetch_add(1) != 0)
                ++input_.overlaps;
        }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        ~Entry() { --input_.inside_; }

    private:
        RecordingInput& input_;
    };
    void Press(std::uint8_t vk, bool up); // a key or a mouse button
    void Note(const std::string& event);
    Events* journal_;
    std::atomic<int> inside_{0};
};

// The player's clock, which moves when the test says so, and its wake-ups, counted.
class FakePlayerLoop final : public PlayerLoop {
public:
    std::uint64_t NowMs() override { return now; }
    void Wake() override { ++wakes; }
    std::uint64_t now = 1000;
    int wakes = 0;
};

// The keyboard's repeat settings, as the test sets them.
class FixedKeyboardRepeat final : public KeyboardRepeat {
public:
    RepeatTiming Timing() override { return timing; }
    RepeatTiming timing{250, 50};
};

// The cursor on a 1024 x 768 screen, the origins of windows' client areas, and what was done to the
// capture and the window order, in the shared journal ("capture 0x1010", "top 0x1010", "cursor 5 6").
class FakePointer final : public MousePointer {
public:
    explicit FakePointer(Events& journal) : journal_(journal) {}
    Point ClientToScreen(WindowId window, Point client) override;
    Point CursorPosition() override { return cursor; }
    void SetCursorPosition(Point screen) override;
    void SetCapture(WindowId window) override { journal_.push_back("capture " + WindowName(window)); }
    void ReleaseCapture() override { journal_.push_back("release capture"); }
    void BringToTop(WindowId window) override { journal_.push_back("top " + WindowName(window)); }
    Point ScreenSize() override { return screen; }
    // Where an injected mouse event leaves the cursor.
    void Follow(std::uint32_t flags, std::int32_t dx, std::int32_t dy);

    Point cursor;
    Point screen{1024, 768};
    std::map<WindowId, Point> origins; // client origin on the screen; windows not listed sit at 0, 0

private:
    Events& journal_;
};

// The question and its surroundings, in the shared journal ("attach 70", "ask ...", "detach 70",
// "foreground 0x1010"); answers OK unless told otherwise.
class FakeQuestion final : public UserQuestion {
public:
    explicit FakeQuestion(Events& journal) : journal_(journal) {}
    void AttachInput(std::uint32_t threadId, bool attach) override {
        journal_.push_back((attach ? "attach " : "detach ") + std::to_string(threadId));
    }
    bool AskOkCancel(const char* text) override {
        journal_.push_back(std::string("ask ") + text);
        return answer;
    }
    void SetForeground(WindowId window) override { journal_.push_back("foreground " + WindowName(window)); }

    bool answer = true;

private:
    Events& journal_;
};

// A string table with the texts it is given.
class FakeStrings final : public StringSource {
public:
    std::size_t Load(unsigned id, char* buffer, std::size_t size) const override;
    std::map<unsigned, std::string> texts;
};

// The driver's string table as its tests see it: the question about a missing click window, and none
// of the control names.
FakeStrings DriverStrings();

// An idle timer that expires when the test says so, on the test's thread.
class FakeIdleTimer final : public WheelIdleTimer {
public:
    void Connect(WheelIdleSink& sink) override { sink_ = &sink; }
    bool Arm(std::uint64_t token) override {
        arms.push_back(token);
        return !failArm;
    }
    void Disconnect() override {
        sink_ = nullptr;
        ++disconnects;
    }
    // The expiry of the timer armed last, or of an earlier arming.
    void Expire() { Expire(arms.empty() ? 0 : arms.back()); }
    void Expire(std::uint64_t token) {
        if (sink_ != nullptr)
            sink_->OnWheelIdle(token);
    }
    std::vector<std::uint64_t> arms;
    bool failArm = false;
    int disconnects = 0;

private:
    WheelIdleSink* sink_ = nullptr;
};

// The dispatcher's uses of the mouse object, in order, in the shared journal ("mouse Load 0 77").
class RecordingMouse final : public MouseOutput {
public:
    explicit RecordingMouse(Events& journal) : journal_(journal) {}
    void Attach(ClickTargetContext&) override {}
    void Load(const ControlAssignment& a, int control, std::uint32_t threadId) override;
    void Execute(int count, CWheelTracker&) override { journal_.push_back("mouse Execute " + std::to_string(count)); }
    bool IsScrollActive() const override { return scrollActive; }
    void EndScroll(CWheelTracker&) override { journal_.push_back("mouse EndScroll"); }
    void EndWheelMotion(CWheelTracker&) override { journal_.push_back("mouse EndWheelMotion"); }
    bool IsButtonDown() const override { return buttonDown; }
    void FinishClick() override { journal_.push_back("mouse FinishClick"); }
    std::int16_t ClickModifierCode() const override { return 0; }

    bool scrollActive = false;
    bool buttonDown = false;

private:
    Events& journal_;
};

class FakeDesktop final : public Desktop {
public:
    struct Window {
        std::string title;
        std::string className;
        WindowId parent;
        std::uint32_t thread;
        std::uint32_t process;
    };
    // Windows are enumerated in the order they were added.
    WindowId Add(const Window& window);

    WindowId ForegroundWindow() override { return foreground; }
    std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) override;
    void WindowText(WindowId window, char* text, std::size_t size) override;
    void WindowClass(WindowId window, char* name, std::size_t size) override;
    WindowId FindTopLevelWindow(const char* title) override;
    WindowId FindChildWindow(WindowId parent, const char* className, const char* title) override;
    void EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) override;
    void EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) override;
    bool SendCommand(WindowId window, int commandId) override;

    WindowId foreground = kNoWindow;
    bool commandsHang = false; // SendCommand gives up as on a window that does not answer
    std::map<WindowId, Window> windows;
    std::vector<std::pair<WindowId, int>> commands;
    std::function<void(int)> onCommand; // what the receiving window does while the sender waits

private:
    bool VisitDescendants(WindowId parent, WindowVisitor visit, void* context);
};

class FakeProcesses final : public ProcessSource {
public:
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override;
    std::vector<std::pair<std::string, std::uint32_t>> processes;
    int lists = 0;
    std::function<void()> onList; // runs while the list is taken
};

} // namespace qvl::fakes
