// Fakes of the driver's output ports: the input stream, the desktop's windows, the process list, and a
// mouse object that notes what the dispatcher asks of it. Key events are written as "+Ctrl" (down)
// and "-Ctrl" (up), so expected sequences read like the keyboard.
#pragma once

#include "driver/core/process_source.h"
#include "driver/output/desktop.h"
#include "driver/output/input_synth.h"
#include "driver/output/mouse_action.h"

#include <functional>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

namespace qvl::fakes {

using Events = std::vector<std::string>;

std::string KeyName(std::uint8_t vk);

class RecordingInput final : public InputSynth {
public:
    explicit RecordingInput(Events* journal = nullptr) : journal_(journal) {}
    void Key(std::uint8_t vk, bool up) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;
    Events Take() { return std::exchange(events, Events()); }

    Events events;
    std::set<std::uint8_t> down; // keys that Windows would hold down now

private:
    void Note(const std::string& event);
    Events* journal_;
};

// The dispatcher's uses of the mouse object, in order, in the shared journal ("mouse Load 0 77").
class RecordingMouse final : public CMouseAction {
public:
    RecordingMouse(InputSynth& input, Events& journal) : CMouseAction(input), journal_(journal) {}
    void Load(const ControlAssignment& a, int control, std::uint32_t threadId) override;
    void Execute(int count, CWheelTracker&) override { journal_.push_back("mouse Execute " + std::to_string(count)); }
    bool IsScrollActive() const override { return scrollActive; }
    void EndScroll(CWheelTracker&) override { journal_.push_back("mouse EndScroll"); }
    void EndWheelMotion(CWheelTracker&) override { journal_.push_back("mouse EndWheelMotion"); }
    bool IsButtonDown() const override { return buttonDown; }
    void FinishClick() override { journal_.push_back("mouse FinishClick"); }

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
    WindowId Add(const Window& window);

    WindowId ForegroundWindow() override { return foreground; }
    std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) override;
    void WindowText(WindowId window, char* text, std::size_t size) override;
    WindowId FindTopLevelWindow(const char* title) override;
    WindowId FindChildWindow(WindowId parent, const char* className, const char* title) override;
    void SendCommand(WindowId window, int commandId) override;

    WindowId foreground = kNoWindow;
    std::map<WindowId, Window> windows;
    std::vector<std::pair<WindowId, int>> commands;
    std::function<void(int)> onCommand; // what the receiving window does while the sender waits
};

class FakeProcesses final : public ProcessSource {
public:
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override;
    std::vector<std::pair<std::string, std::uint32_t>> processes;
    int lists = 0;
    std::function<void()> onList; // runs while the list is taken
};

} // namespace qvl::fakes
