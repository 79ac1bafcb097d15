// The driver's adapters against real windows, real input and the real process list.
#include "driver/output/desktop_win32.h"
#include "driver/output/input_synth_win32.h"
#include "driver/output/process_list_win32.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qvl {
namespace {

WindowId Id(HWND window) {
    return reinterpret_cast<WindowId>(window);
}

// A window that keeps every WM_COMMAND it receives, in the vector its user data points to.
LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        auto* commands =
            reinterpret_cast<std::vector<std::pair<WPARAM, LPARAM>>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        commands->emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Window {
public:
    Window(const char* className, const char* title, DWORD style, HWND parent)
        : handle_(CreateWindowExA(0, className, title, style, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr)) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() {
        if (handle_ != nullptr)
            DestroyWindow(handle_);
    }
    HWND Get() const { return handle_; }

private:
    HWND handle_;
};

TEST(DesktopWin32, FindsTheEditorsPanelAndSendsItTheCommand) {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.lpszClassName = "QvlTestFrame";
    RegisterClassA(&frameClass);
    Window main("QvlTestFrame", "Quorvel 2", WS_OVERLAPPEDWINDOW, nullptr);
    ASSERT_NE(main.Get(), nullptr);
    Window label("STATIC", "", WS_CHILD, main.Get());
    Window titled("#32770", "Options", WS_CHILD, main.Get());
    Window panel("#32770", "", WS_CHILD, main.Get());
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    SetWindowLongPtrA(panel.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&commands));
    SetWindowLongPtrA(panel.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordCommands));

    Win32Desktop desktop;
    EXPECT_EQ(desktop.FindTopLevelWindow("Quorvel 2"), Id(main.Get()));
    EXPECT_EQ(desktop.FindTopLevelWindow("Quorvel 3"), kNoWindow);
    EXPECT_EQ(desktop.FindChildWindow(Id(main.Get()), "#32770", ""), Id(panel.Get()));
    desktop.SendCommand(Id(panel.Get()), 1013);
    desktop.SendCommand(Id(panel.Get()), 1022);
    EXPECT_EQ(commands, (std::vector<std::pair<WPARAM, LPARAM>>{{1013, 0}, {1022, 0}}));

    std::uint32_t process = 0;
    EXPECT_EQ(desktop.WindowThreadProcess(Id(main.Get()), process), GetCurrentThreadId());
    EXPECT_EQ(process, GetCurrentProcessId());
}

TEST(DesktopWin32, WindowTextIsCutToItsBufferAndTheWindowInFrontIsSeen) {
    Window window("STATIC", std::string(300, 'w').c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
    Win32Desktop desktop;
    char text[kWindowTextSize];
    desktop.WindowText(Id(window.Get()), text, sizeof text);
    EXPECT_EQ(std::string(text), std::string(255, 'w'));
    desktop.WindowText(kNoWindow, text, sizeof text);
    EXPECT_STREQ(text, "");

    SetForegroundWindow(window.Get());
    EXPECT_EQ(desktop.ForegroundWindow(), Id(window.Get()));
}

class NoBoxes final : public MessageBoxes {
public:
    void Show(const char*, const char*, MessageIcon) override { ++shown; }
    int shown = 0;
};

// What target tracking gets on the NT family under Wine: the fallback's list, names without folder and
// extension, and no box about the missing performance counters.
TEST(ProcessListWin32, ListsThisProgramByItsFileTitle) {
    NoBoxes boxes;
    Win32ProcessList source("WINNT", boxes);
    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    ASSERT_TRUE(source.GetProcessList(names, ids));
    ASSERT_EQ(names.size(), ids.size());
    const auto self = std::find(ids.begin(), ids.end(), GetCurrentProcessId());
    ASSERT_NE(self, ids.end());
    EXPECT_EQ(names[static_cast<std::size_t>(self - ids.begin())], "qvl_win_tests");
    for (const std::string& name : names)
        EXPECT_EQ(name.find(".exe"), std::string::npos) << name;
    EXPECT_EQ(boxes.shown, 0);
}

// What a low-level keyboard hook sees of the injected keys. The hook has no context parameter, so its
// record lives here, guarded for the hook thread and the test thread.
using SeenKey = std::pair<DWORD, DWORD>; // virtual key, hook flags
std::mutex seenLock;
std::vector<SeenKey> seenKeys;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        std::lock_guard<std::mutex> guard(seenLock);
        seenKeys.emplace_back(event->vkCode, event->flags);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(InputSynthWin32, KeysArriveInOrderInjectedAndNeverExtended) {
    std::atomic<DWORD> hookThread{0};
    std::thread watcher([&hookThread] {
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread has a queue now
        hookThread = hook != nullptr ? GetCurrentThreadId() : 1;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        if (hook != nullptr)
            UnhookWindowsHookEx(hook);
    });
    ASSERT_TRUE(wintest::WaitUntil([&] { return hookThread != 0; }));
    ASSERT_NE(hookThread.load(), 1u) << "no hook";

    Win32InputSynth input;
    input.Key(0x11, false); // Ctrl
    input.Key('A', false);
    input.Key('A', true);
    input.Key(0x11, true);
    input.Key(0x25, false); // Left arrow, as the wheel's default keys send it
    input.Key(0x25, true);

    const std::vector<SeenKey> expected = {{0x11, LLKHF_INJECTED},           {'A', LLKHF_INJECTED},
                                           {'A', LLKHF_INJECTED | LLKHF_UP}, {0x11, LLKHF_INJECTED | LLKHF_UP},
                                           {0x25, LLKHF_INJECTED},           {0x25, LLKHF_INJECTED | LLKHF_UP}};
    std::vector<SeenKey> seen;
    wintest::WaitUntil([&] {
        std::lock_guard<std::mutex> guard(seenLock);
        seen = seenKeys;
        return seen.size() >= expected.size();
    });
    PostThreadMessageA(hookThread, WM_QUIT, 0, 0);
    watcher.join();
    for (SeenKey& key : seen)
        key.second &= LLKHF_INJECTED | LLKHF_UP | LLKHF_EXTENDED;
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace qvl
