#include "output_fakes.h"

#include "model/utf_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qvl::fakes {

std::string KeyName(std::uint8_t vk) {
    switch (vk) {
        case kVkLeftButton:
            return "LButton";
        case kVkRightButton:
            return "RButton";
        case 0x08:
            return "Backspace";
        case 0x09:
            return "Tab";
        case 0x0D:
            return "Enter";
        case 0x10:
            return "Shift";
        case 0x11:
            return "Ctrl";
        case 0x12:
            return "Alt";
        case 0x20:
            return "Space";
        case 0x25:
            return "Left";
        case 0x27:
            return "Right";
        case 0x2E:
            return "Delete";
        default:
            break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", vk);
    return hex;
}

void RecordingInput::Note(const std::string& event) {
    events.push_back(event);
    if (journal_ != nullptr)
        journal_->push_back(event);
}

void RecordingInput::Key(std::uint8_t vk, bool up) {
    const Entry entry(*this);
    Press(vk, up);
}

void RecordingInput::StepKey(std::uint8_t vk, bool up) {
    const Entry entry(*this);
    ++steps;
    Press(vk, up);
}

void RecordingInput::Text(std::u16string_view text) {
    const Entry entry(*this);
    Note("\"" + Utf8FromUtf16(text) + "\"");
}

void RecordingInput::Press(std::uint8_t vk, bool up) {
    Note((up ? "-" : "+") + KeyName(vk));
    if (up)
        down.erase(vk);
    else
        down.insert(vk);
}

std::string WindowName(WindowId window) {
    char name[24];
    std::snprintf(name, sizeof name, "0x%llx", static_cast<unsigned long long>(window));
    return name;
}

void RecordingInput::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    const Entry entry(*this);
    const std::string at = std::to_string(dx) + " " + std::to_string(dy);
    if (flags == kMouseMove)
        Note("move " + at);
    else if (flags == (kMouseMove | kMouseAbsolute))
        Note("moveto " + at);
    else if (flags == kMouseLeftDown || flags == kMouseRightDown)
        Press(flags == kMouseLeftDown ? kVkLeftButton : kVkRightButton, false);
    else if (flags == kMouseLeftUp || flags == kMouseRightUp)
        Press(flags == kMouseLeftUp ? kVkLeftButton : kVkRightButton, true);
    else
        Note("mouse " + std::to_string(flags) + " " + at);
    if (onMouse)
        onMouse(flags, dx, dy);
}

Point FakePointer::ClientToScreen(WindowId window, Point client) {
    const auto found = origins.find(window);
    const Point origin = found != origins.end() ? found->second : Point{};
    return {origin.x + client.x, origin.y + client.y};
}

void FakePointer::SetCursorPosition(Point screen) {
    cursor = screen;
    journal_.push_back("cursor " + std::to_string(screen.x) + " " + std::to_string(screen.y));
}

// An absolute position maps back onto the screen the way the system does it, pixel =
// absolute x size / 65536, which is why the mouse object aims one pixel further in.
void FakePointer::Follow(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    if ((flags & kMouseMove) == 0)
        return;
    if ((flags & kMouseAbsolute) != 0)
        cursor = {static_cast<std::int32_t>(static_cast<std::int64_t>(dx) * screen.x / 65536),
                  static_cast<std::int32_t>(static_cast<std::int64_t>(dy) * screen.y / 65536)};
    else
        cursor = {cursor.x + dx, cursor.y + dy};
}

FakeStrings DriverStrings() {
    FakeStrings strings;
    strings.texts[kMissingTargetQuestionId] =
        "The window which was supposed to receive this click, \"%1\" is not open. If this happens in the future, do "
        "you want the click to occur in the window \"%2\"?";
    return strings;
}

std::size_t FakeStrings::Load(unsigned id, char* buffer, std::size_t size) const {
    const auto found = texts.find(id);
    const std::string text = found != texts.end() ? found->second : std::string();
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

void RecordingMouse::Load(const ControlAssignment& a, int control, std::uint32_t threadId) {
    journal_.push_back("mouse Load " + std::to_string(a.mouseMode) + " " + std::to_string(control) + " " +
                       std::to_string(threadId));
}

WindowId FakeDesktop::Add(const Window& window) {
    const WindowId id = 0x1000 + windows.size() * 0x10;
    windows[id] = window;
    return id;
}

std::uint32_t FakeDesktop::WindowThreadProcess(WindowId window, std::uint32_t& processId) {
    auto found = windows.find(window);
    processId = found != windows.end() ? found->second.process : 0;
    return found != windows.end() ? found->second.thread : 0;
}

void FakeDesktop::WindowText(WindowId window, char* text, std::size_t size) {
    auto found = windows.find(window);
    const std::string title = found != windows.end() ? found->second.title : std::string();
    const std::size_t length = std::min(title.size(), size - 1);
    std::memcpy(text, title.data(), length);
    text[length] = '\0';
}

void FakeDesktop::WindowClass(WindowId window, char* name, std::size_t size) {
    auto found = windows.find(window);
    const std::string className = found != windows.end() ? found->second.className : std::string();
    const std::size_t length = std::min(className.size(), size - 1);
    std::memcpy(name, className.data(), length);
    name[length] = '\0';
}

WindowId FakeDesktop::FindTopLevelWindow(const char* title) {
    for (const auto& [id, window] : windows)
        if (window.parent == kNoWindow && window.title == title)
            return id;
    return kNoWindow;
}

WindowId FakeDesktop::FindChildWindow(WindowId parent, const char* className, const char* title) {
    for (const auto& [id, window] : windows)
        if (window.parent == parent && window.className == className && window.title == title)
            return id;
    return kNoWindow;
}

void FakeDesktop::EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) {
    for (const auto& [id, window] : windows)
        if (window.parent == kNoWindow && window.thread == threadId && !visit(id, context))
            return;
}

bool FakeDesktop::VisitDescendants(WindowId parent, WindowVisitor visit, void* context) {
    for (const auto& [id, window] : windows) {
        if (window.parent != parent)
            continue;
        if (!visit(id, context) || !VisitDescendants(id, visit, context))
            return false;
    }
    return true;
}

void FakeDesktop::EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) {
    if (parent != kNoWindow)
        VisitDescendants(parent, visit, context);
}

bool FakeDesktop::SendCommand(WindowId window, int commandId) {
    commands.emplace_back(window, commandId);
    if (onCommand)
        onCommand(commandId);
    return !commandsHang;
}

bool FakeProcesses::GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) {
    ++lists;
    if (onList)
        onList();
    for (const auto& [name, id] : processes) {
        names.push_back(name);
        ids.push_back(id);
    }
    return true;
}

} // namespace qvl::fakes
