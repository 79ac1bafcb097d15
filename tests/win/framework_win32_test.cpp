#include "framework/application.h"
#include "framework/menu.h"
#include "framework/string_table.h"
#include "framework/window.h"
#include "res/framework_test_resource.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace qvl::framework {
namespace {

constexpr const char* kTestClass = "QvlFrameworkTestWindow";
constexpr UINT kPing = WM_APP + 1;
constexpr UINT kSwallowed = WM_APP + 2;
constexpr UINT kWake = WM_APP + 3;

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// Records what reaches it, and answers kPing with its parameter plus one.
class RecordingWindow : public Window {
public:
    std::vector<UINT> messages;
    bool finalDestroyed = false;
    HWND handleAtCreate = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_CREATE)
            handleAtCreate = Handle();
        if (message == kPing)
            return static_cast<LRESULT>(wParam) + 1;
        return Window::HandleMessage(message, wParam, lParam);
    }
    void OnFinalDestroy() override { finalDestroyed = true; }
};

bool Registered() {
    return Window::RegisterWindowClass(Module(), kTestClass, CS_PARENTDC);
}

bool Saw(const std::vector<UINT>& messages, UINT message) {
    for (UINT m : messages)
        if (m == message)
            return true;
    return false;
}

TEST(FrameworkWindow, MessagesReachTheObjectFromCreationToTheEnd) {
    ASSERT_TRUE(Registered());
    RecordingWindow window;
    // An overlapped window gets WM_GETMINMAXINFO before WM_NCCREATE: it must not reach a missing object.
    ASSERT_TRUE(window.Create(0, kTestClass, "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr, Module()));
    HWND hwnd = window.Handle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.handleAtCreate, hwnd);
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(Window::FromHandle(hwnd), &window);
    EXPECT_EQ(SendMessageA(hwnd, kPing, 41, 0), 42);

    EXPECT_TRUE(window.Destroy());
    EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_TRUE(Saw(window.messages, WM_DESTROY));
    EXPECT_TRUE(window.finalDestroyed);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(window.Destroy());
}

TEST(FrameworkWindow, TheObjectTakesItsWindowAlongWhenItGoes) {
    ASSERT_TRUE(Registered());
    HWND hwnd = nullptr;
    {
        RecordingWindow window;
        ASSERT_TRUE(window.Create(0, kTestClass, "short-lived", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Module()));
        hwnd = window.Handle();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(FrameworkWindow, FromHandleKnowsOnlyOurWindows) {
    HWND button = CreateWindowExA(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Window::FromHandle(button), nullptr);
    DestroyWindow(button);
    EXPECT_EQ(Window::FromHandle(nullptr), nullptr);
}

TEST(FrameworkWindow, AClassOfAnotherProcedureIsNotTakenOver) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Module();
    wc.lpszClassName = "QvlForeignClass";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    EXPECT_FALSE(Window::RegisterWindowClass(Module(), "QvlForeignClass"));
    EXPECT_TRUE(Registered());
    EXPECT_TRUE(Registered()) << "registering twice is harmless";
}

// A program that records its idle calls and what its window received; it wakes itself from idle
// once and then quits with code 7.
class ScriptedApplication : public Application {
public:
    using Application::Application;
    RecordingWindow window;
    std::vector<long> idleCounts;
    int exits = 0;
    bool initResult = true;

    bool InitInstance() override {
        if (!initResult)
            return false;
        if (!Registered() || !window.Create(0, kTestClass, "app", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Instance()))
            return false;
        SetMainWindow(&window);
        PostMessageA(window.Handle(), kSwallowed, 0, 0);
        return true;
    }
    bool OnIdle(long count) override {
        idleCounts.push_back(count);
        if (count < 2)
            return true;
        // Idle ends here; a message starts the next round, and the second round ends the program.
        if (idleCounts.size() < 6)
            PostMessageA(window.Handle(), kWake, 0, 0);
        else
            PostQuitMessage(7);
        return false;
    }
    bool PreTranslateMessage(MSG& message) override { return message.message == kSwallowed; }
    int ExitInstance() override {
        ++exits;
        return Application::ExitInstance();
    }
};

TEST(FrameworkApplication, IdleRunsWhileTheQueueIsEmptyAndRestartsAfterAMessage) {
    ScriptedApplication app(Module());
    EXPECT_EQ(app.Run(), 7);
    EXPECT_EQ(app.idleCounts, (std::vector<long>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(app.exits, 1);
    EXPECT_EQ(app.MainWindow(), &app.window);
    EXPECT_TRUE(Saw(app.window.messages, kWake));
    EXPECT_FALSE(Saw(app.window.messages, kSwallowed)) << "PreTranslateMessage took it";
}

TEST(FrameworkApplication, FailedStartUpSkipsTheLoopButStillExits) {
    ScriptedApplication app(Module());
    app.initResult = false;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.idleCounts.empty());
    EXPECT_EQ(app.exits, 1);
}

// A wide field typed a character beyond the code page (a check mark), then the end.
class TypingApplication : public Application {
public:
    using Application::Application;
    HWND edit = nullptr;

    bool InitInstance() override {
        edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, Instance(), nullptr);
        PostMessageW(edit, WM_CHAR, 0x2713, 1);
        PostQuitMessage(0);
        return edit != nullptr;
    }
};

TEST(FrameworkApplication, ACharacterBeyondTheCodePageReachesAWideWindowWhole) {
    TypingApplication app(Module());
    app.Run();
    wchar_t text[8] = {};
    GetWindowTextW(app.edit, text, 8);
    DestroyWindow(app.edit);
    EXPECT_STREQ(text, L"\u2713");
}

TEST(FrameworkStrings, LoadsTextsWholeAndFormatsPatterns) {
    EXPECT_EQ(LoadResourceString(Module(), IDS_SHORT), "Default");
    const std::string longText = LoadResourceString(Module(), IDS_LONG);
    EXPECT_EQ(longText.size(), 560u);
    EXPECT_EQ(longText.substr(0, 14), "000-long-text ");
    EXPECT_EQ(longText.substr(546), "039-long-text ");
    EXPECT_EQ(LoadResourceString(Module(), 999), "");
    EXPECT_EQ(FormatResourceString(Module(), IDS_PATTERN, {"COM2", "4"}), "Port COM2 of 4: COM2");
}

TEST(FrameworkMenus, LoadsAPopupAndReplacesAnItemInPlace) {
    MenuHandle menu = LoadMenuResource(Module(), IDM_TEST_MENU);
    ASSERT_TRUE(menu.Valid());
    HMENU popup = SubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(SubMenu(menu.Get(), 5), nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(MenuItemText(popup, 0), "First");
    EXPECT_EQ(MenuItemText(popup, 1), "");
    EXPECT_EQ(MenuItemText(popup, 2), "Second");

    ASSERT_TRUE(ReplaceMenuItem(popup, 2, ID_ITEM_REPLACED, "Replaced"));
    EXPECT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(MenuItemText(popup, 2), "Replaced");
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(ID_ITEM_REPLACED));
    EXPECT_EQ(MenuItemText(popup, 3), "Last");
    EXPECT_EQ(GetMenuItemID(popup, 3), static_cast<UINT>(ID_ITEM_LAST));

    EXPECT_FALSE(LoadMenuResource(Module(), 777).Valid());
}

// Plays keys into the pop-up menu once it shows, from another thread, as a user would. The keys are
// posted at once: the menu's loop takes them from its queue in order.
class MenuPlayer {
public:
    explicit MenuPlayer(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              HWND popup = nullptr;
              wintest::WaitUntil([&] {
                  popup = FindWindowA("#32768", nullptr);
                  return stop_ || (popup != nullptr && IsWindowVisible(popup));
              });
              if (stop_ || popup == nullptr)
                  return;
              for (WPARAM key : keys)
                  PostMessageA(popup, WM_KEYDOWN, key, 0);
          }) {}
    ~MenuPlayer() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

UINT ChooseFromTestMenu(std::vector<WPARAM> keys) {
    RecordingWindow owner;
    if (!Registered() || !owner.Create(0, kTestClass, "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Module()))
        return 0xFFFF;
    MenuHandle menu = LoadMenuResource(Module(), IDM_TEST_MENU);
    MenuPlayer player(std::move(keys));
    const UINT command =
        TrackPopupCommand(SubMenu(menu.Get(), 0), owner.Handle(), 300, 300, TPM_RIGHTALIGN | TPM_BOTTOMALIGN);
    // The menu returned the command: nothing may have been posted to the owner as WM_COMMAND.
    MSG message;
    while (PeekMessageA(&message, owner.Handle(), 0, 0, PM_REMOVE)) {
        if (message.message == WM_COMMAND)
            return 0xFFFE;
        DispatchMessageA(&message);
    }
    return command;
}

TEST(FrameworkMenus, APopupHandsBackTheChosenCommand) {
    EXPECT_EQ(ChooseFromTestMenu({VK_DOWN, VK_RETURN}), static_cast<UINT>(ID_ITEM_FIRST));
    EXPECT_EQ(ChooseFromTestMenu({VK_DOWN, VK_DOWN, VK_RETURN}), static_cast<UINT>(ID_ITEM_SECOND));
}

TEST(FrameworkMenus, ADismissedPopupGivesNoCommand) {
    EXPECT_EQ(ChooseFromTestMenu({VK_ESCAPE}), 0u);
}

} // namespace
} // namespace qvl::framework
