// Click targeting and the mouse object against real windows: another program's windows found by text
// and class, a click landing on the stored point of a real window, the question box as the user sees
// it.
#include "win_test_support.h"

#include "driver/output/click_targeting.h"
#include "driver/output/desktop_win32.h"
#include "driver/output/input_synth_win32.h"
#include "driver/output/mouse_action.h"
#include "driver/output/mouse_pointer_win32.h"
#include "driver/output/user_question_win32.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qvl {
namespace {

using wintest::ChildProcess;

WindowId Id(HWND window) {
    return reinterpret_cast<WindowId>(window);
}

// Wait for a top-level window of this class and title.
HWND WaitForWindow(const char* className, const char* title) {
    HWND window = nullptr;
    wintest::WaitUntil([&] { return (window = FindWindowA(className, title)) != nullptr; });
    return window;
}

// Wait for a child window of `parent` with this class and title: the other program may still be
// creating it when its top-level window already shows.
HWND WaitForChild(HWND parent, const char* className, const char* title) {
    HWND window = nullptr;
    wintest::WaitUntil([&] { return (window = FindWindowExA(parent, nullptr, className, title)) != nullptr; });
    return window;
}

TEST(ClickTargetingWin32, FindsAnotherProgramsWindowsByTextAndByClassAndText) {
    ChildProcess peer;
    ASSERT_TRUE(peer.Start("target_windows_peer.exe", "120000"));
    HWND main = WaitForWindow("QvlPeerFrame", "QVL Peer Main");
    HWND tools = WaitForWindow("QvlPeerTools", "QVL Peer Tools");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(tools, nullptr);
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    HWND apply = WaitForChild(main, "QvlPeerButton", "Apply");
    HWND pane = WaitForChild(main, "QvlPeerPane", "");
    HWND volume = pane != nullptr ? WaitForChild(pane, "QvlPeerEdit", "Volume") : nullptr;
    HWND notes = WaitForChild(tools, "QvlPeerEdit", "Notes");
    ASSERT_TRUE(apply != nullptr && volume != nullptr && notes != nullptr);

    Win32Desktop desktop;
    const struct {
        const char* what;
        const char* className;
        const char* title;
        HWND found;
    } rows[] = {
        {"top-level by its text, whatever the class", "SomethingElse", "QVL Peer Tools", tools},
        {"child by class and text", "QvlPeerButton", "Apply", apply},
        {"grandchild by class and text", "QvlPeerEdit", "Volume", volume},
        {"child under the second top-level window", "QvlPeerEdit", "Notes", notes},
        {"child with the wrong class", "QvlPeerEdit", "Apply", nullptr},
        {"letter case", "QvlPeerButton", "apply", nullptr},
        {"no such text", "QvlPeerFrame", "QVL Peer", nullptr},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FindTargetWindow(desktop, thread, row.className, row.title), Id(row.found)) << row.what;
    EXPECT_EQ(FindTargetWindow(desktop, GetCurrentThreadId(), "QvlPeerButton", "Apply"), kNoWindow)
        << "only the given thread's windows";

    char className[kWindowTextSize];
    desktop.WindowClass(Id(volume), className, sizeof className);
    EXPECT_STREQ(className, "QvlPeerEdit");
}

// A window on a thread of its own that notes where the left button went down and up.
class ClickWindow {
public:
    ClickWindow() : thread_([this] { Run(); }) {
        wintest::WaitUntil([this] { return window_ != nullptr || failed_; });
    }
    ~ClickWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return window_; }
    DWORD Thread() const { return threadId_; }
    std::vector<std::string> Clicks() {
        std::lock_guard<std::mutex> hold(lock_);
        return clicks_;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ClickWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
            std::lock_guard<std::mutex> hold(self->lock_);
            self->clicks_.push_back((message == WM_LBUTTONDOWN ? "down " : "up ") +
                                    std::to_string(static_cast<short>(LOWORD(lParam))) + " " +
                                    std::to_string(static_cast<short>(HIWORD(lParam))));
        }
        if (message == WM_CLOSE) {
            DestroyWindow(window);
            return 0;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Run() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QvlClickTarget";
        RegisterClassA(&windowClass);
        threadId_ = GetCurrentThreadId();
        HWND window = CreateWindowExA(WS_EX_TOPMOST, "QvlClickTarget", "QVL Click Target", WS_POPUP | WS_VISIBLE, 200,
                                      150, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window == nullptr) {
            failed_ = true;
            return;
        }
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
    }

    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> failed_{false};
    DWORD threadId_ = 0;
    std::mutex lock_;
    std::vector<std::string> clicks_;
    std::thread thread_;
};

class NoQuestion final : public UserQuestion {
public:
    void AttachInput(std::uint32_t, bool) override {}
    bool AskOkCancel(const char*) override { return false; }
    void SetForeground(WindowId) override {}
};

// On the 1024 x 768 display of the test runs, the point stored in client coordinates is where the
// button goes down, and the cursor returns to where it was.
TEST(MouseActionWin32, LeftClickLandsOnTheStoredPointAndTheCursorReturns) {
    ClickWindow target;
    ASSERT_NE(target.Handle(), nullptr);
    Win32Desktop desktop;
    Win32MousePointer pointer;
    Win32InputSynth input;
    NoQuestion question;
    NoStrings strings;
    MemoryBlocks blocks;
    CSharedInfo shared(blocks);
    CMouseAction mouse(input, MousePorts{desktop, pointer, question, strings, shared});
    CWheelTracker wheel;

    ControlAssignment click;
    InitAssignment(click);
    click.mouseMode = kLeftClick;
    click.clickX = 30;
    click.clickY = 40;
    CopyToField(click.windowTitle, "QVL Click Target");
    CopyToField(click.windowClass, "QvlClickTarget");
    SetCursorPos(10, 12);
    mouse.Load(click, kPlay, target.Thread());
    mouse.Execute(1, wheel);
    mouse.FinishClick();

    std::vector<std::string> clicks;
    wintest::WaitUntil([&] { return (clicks = target.Clicks()).size() >= 2; });
    EXPECT_EQ(clicks, (std::vector<std::string>{"down 30 40", "up 30 40"}));
    Point cursor;
    wintest::WaitUntil([&] { return (cursor = pointer.CursorPosition()) == Point{10, 12}; });
    EXPECT_EQ(cursor.x, 10);
    EXPECT_EQ(cursor.y, 12);
}

TEST(MousePointerWin32, ClientOriginAndCursorPosition) {
    ClickWindow target;
    ASSERT_NE(target.Handle(), nullptr);
    Win32MousePointer pointer;
    const Point screen = pointer.ClientToScreen(Id(target.Handle()), {5, 6});
    EXPECT_EQ(screen.x, 205);
    EXPECT_EQ(screen.y, 156);
    pointer.SetCursorPosition({321, 123});
    const Point cursor = pointer.CursorPosition();
    EXPECT_EQ(cursor.x, 321);
    EXPECT_EQ(cursor.y, 123);
}

// What a visible message box shows: its caption, its text, and its buttons by id.
struct SeenBox {
    std::string caption;
    std::string text;
    bool ok = false;
    bool cancel = false;
    bool topmost = false;
};

// Find the box with `caption`, note what it shows and press `button`.
SeenBox AnswerBox(const char* caption, int button) {
    SeenBox seen;
    HWND box = WaitForWindow("#32770", caption);
    if (box == nullptr)
        return seen;
    char text[512] = {};
    GetWindowTextA(box, text, sizeof text);
    seen.caption = text;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the box's static text
    seen.text = text;
    seen.ok = GetDlgItem(box, IDOK) != nullptr;
    seen.cancel = GetDlgItem(box, IDCANCEL) != nullptr;
    seen.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return seen;
}

TEST(UserQuestionWin32, AsksWithOkAndCancelSystemModalAndReportsTheAnswer) {
    Win32UserQuestion question("qvl2rs");
    for (int button : {IDOK, IDCANCEL}) {
        SeenBox seen;
        std::thread answerer([&seen, button] { seen = AnswerBox("qvl2rs", button); });
        const bool ok = question.AskOkCancel("Use \"Mixer\" from now on?");
        answerer.join();
        EXPECT_EQ(ok, button == IDOK);
        EXPECT_EQ(seen.caption, "qvl2rs");
        EXPECT_EQ(seen.text, "Use \"Mixer\" from now on?");
        EXPECT_TRUE(seen.ok && seen.cancel);
        EXPECT_TRUE(seen.topmost) << "a system-modal box stays on top";
    }
}

} // namespace
} // namespace qvl
