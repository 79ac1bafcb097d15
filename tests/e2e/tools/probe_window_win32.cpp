#include "probe_window_win32.h"

#include "base/unique_handle_win32.h"
#include "message_names_win32.h"
#include "performance_count_win32.h"
#include "window_info_win32.h"

#include <commctrl.h>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <windowsx.h>

namespace qvl::e2e {

namespace {

constexpr UINT_PTR kForegroundTimer = 1;
constexpr UINT_PTR kMenuStopTimer = 2;
constexpr UINT kForegroundCheckMs = 50;
constexpr int kForegroundTries = 60;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kFirstChildId = 101;

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsCharMessage(UINT message) {
    return message == WM_CHAR || message == WM_SYSCHAR || message == WM_DEADCHAR;
}

bool IsButtonMessage(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK);
}

} // namespace

bool ProbeWindow::Create() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA mainClass = {};
    mainClass.cbSize = sizeof mainClass;
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    mainClass.lpszClassName = options_.className.c_str();
    if (RegisterClassExA(&mainClass) == 0)
        return false;
    registeredClasses_.push_back(options_.className);

    const ProbeRect& r = options_.rect;
    main_ =
        CreateWindowExA(0, options_.className.c_str(), options_.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        r.x, r.y, r.width, r.height, nullptr, nullptr, instance, this);
    if (main_ == nullptr)
        return false;
    LogWindow(main_, "main", 0);

    for (std::size_t i = 0; i < options_.children.size(); ++i) {
        const ChildOption& wanted = options_.children[i];
        WNDCLASSEXA known = {};
        known.cbSize = sizeof known;
        if (GetClassInfoExA(nullptr, wanted.className.c_str(), &known) == 0 &&
            GetClassInfoExA(instance, wanted.className.c_str(), &known) == 0) {
            // A class no one has: a plain window of that name, so targeting by class finds it.
            WNDCLASSEXA childClass = {};
            childClass.cbSize = sizeof childClass;
            childClass.lpfnWndProc = DefWindowProcA;
            childClass.hInstance = instance;
            childClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            childClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            childClass.lpszClassName = wanted.className.c_str();
            if (RegisterClassExA(&childClass) == 0)
                return false;
            registeredClasses_.push_back(wanted.className);
        }
        const ProbeRect place = wanted.rect ? *wanted.rect : DefaultChildRect(static_cast<int>(i));
        const int id = kFirstChildId + static_cast<int>(i);
        HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, wanted.className.c_str(), wanted.title.c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.x, place.y, place.width, place.height,
                                     main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (child == nullptr)
            return false;
        SetWindowSubclass(child, ChildProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        children_.push_back(child);
        LogWindow(child, "child", static_cast<int>(i) + 1);
    }

    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    StartTakingForeground("ready");
    return true;
}

void ProbeWindow::Destroy() {
    closing_ = true;
    for (HWND child : children_)
        RemoveWindowSubclass(child, ChildProc, kSubclassId);
    children_.clear();
    if (main_ != nullptr)
        DestroyWindow(main_);
    main_ = nullptr;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const std::string& name : registeredClasses_)
        UnregisterClassA(name.c_str(), instance);
    registeredClasses_.clear();
}

void ProbeWindow::LogWindow(HWND window, const char* role, int index) {
    RECT client = {};
    GetClientRect(window, &client);
    const POINT origin = ClientOrigin(window);
    const LogLine line = LogLine("window")
                             .Word("role", role)
                             .Number("index", index)
                             .Hex("hwnd", HandleValue(window))
                             .Number("id", GetDlgCtrlID(window))
                             .Text("class", ClassNameOf(window))
                             .Text("title", WindowTextOf(window))
                             .Pair("origin", origin.x, origin.y)
                             .Pair("size", client.right, client.bottom);
    log_.Write(line);
    // For a person running the probe by hand: the handles, as every tool prints them.
    std::printf("%s\n", line.Str().c_str());
    std::fflush(stdout);
}

HWND ProbeWindow::FocusTarget() const {
    return options_.focus == 0 ? main_ : children_[static_cast<std::size_t>(options_.focus - 1)];
}

bool ProbeWindow::HoldsForeground() const {
    return GetForegroundWindow() == main_ && GetFocus() == FocusTarget();
}

void ProbeWindow::StartTakingForeground(const char* kind) {
    foregroundKind_ = kind;
    foregroundTries_ = 0;
    // Without a window manager nothing raises a window for us; these calls do what a click would.
    BringWindowToTop(main_);
    SetForegroundWindow(main_);
    SetFocus(FocusTarget());
    SetTimer(main_, kForegroundTimer, kForegroundCheckMs, nullptr);
    CheckForeground();
}

void ProbeWindow::CheckForeground() {
    if (foregroundKind_ == nullptr)
        return;
    const bool holds = HoldsForeground();
    if (!holds && ++foregroundTries_ < kForegroundTries) {
        SetForegroundWindow(main_);
        SetFocus(FocusTarget());
        return;
    }
    KillTimer(main_, kForegroundTimer);
    log_.Write(LogLine(foregroundKind_)
                   .Number("t", PerformanceCount())
                   .Number("foreground", holds)
                   .Hex("hwnd", HandleValue(main_))
                   .Hex("focus", HandleValue(GetFocus()))
                   .Hex("active", HandleValue(GetForegroundWindow())));
    foregroundKind_ = nullptr;
}

void ProbeWindow::ShowMenu() {
    const MenuHandle owner(CreatePopupMenu());
    HMENU menu = owner.Get();
    for (std::size_t i = 0; i < options_.menuItems.size(); ++i) {
        const std::string& item = options_.menuItems[i];
        if (item == "-")
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, i + 1, item.c_str());
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    log_.Write(LogLine("menu-open").Number("t", PerformanceCount()).Pair("at", cursor.x, cursor.y));
    // As the tray programs do: without the foreground the menu would not go away when dismissed.
    SetForegroundWindow(main_);
    // The menu runs its own message loop; the timer keeps a stop from waiting for it to close.
    SetTimer(main_, kMenuStopTimer, 50, nullptr);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN,
                                       cursor.x, cursor.y, 0, main_, nullptr);
    KillTimer(main_, kMenuStopTimer);
    PostMessageA(main_, WM_NULL, 0, 0);
    log_.Write(LogLine("menu").Number("t", PerformanceCount()).Number("chosen", chosen));
}

LRESULT CALLBACK ProbeWindow::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->main_ != window)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMain(message, wParam, lParam);
}

LRESULT ProbeWindow::HandleMain(UINT message, WPARAM wParam, LPARAM lParam) {
    LogReceived(main_, message, wParam, lParam);
    switch (message) {
        case WM_TIMER:
            if (wParam == kForegroundTimer) {
                CheckForeground();
                return 0;
            }
            if (wParam == kMenuStopTimer) {
                if (stop_.Asked() != nullptr)
                    EndMenu();
                return 0;
            }
            break;
        case kTakeForegroundMessage:
            StartTakingForeground("front");
            return 0;
        case kShowMenuMessage:
            ShowMenu();
            return 0;
        case kHangMessage: {
            log_.Write(LogLine("hang").Number("t", PerformanceCount()));
            const ULONGLONG until = GetTickCount64() + 60000;
            while (stop_.Asked() == nullptr && GetTickCount64() < until)
                Sleep(50);
            return 0;
        }
        case WM_CLOSE:
            log_.Write(LogLine("stop").Number("t", PerformanceCount()).Word("reason", "close"));
            Destroy();
            return 0;
        case WM_DESTROY:
            main_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(main_, message, wParam, lParam);
}

LRESULT CALLBACK ProbeWindow::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    reinterpret_cast<ProbeWindow*>(self)->LogReceived(window, message, wParam, lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

void ProbeWindow::LogReceived(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing_)
        return;
    const long long now = PerformanceCount();
    const std::string name = MessageName(message);
    if (IsKeyMessage(message)) {
        log_.Write(LogLine("key")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Word("msg", name.c_str())
                       .Hex("vk", wParam)
                       .Hex("scan", (lParam >> 16) & 0xFF)
                       .Number("extended", (lParam >> 24) & 1)
                       .Number("repeat", lParam & 0xFFFF));
    } else if (IsCharMessage(message)) {
        log_.Write(LogLine("char")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Word("msg", name.c_str())
                       .Hex("code", wParam));
    } else if (IsButtonMessage(message) || (message == WM_MOUSEMOVE && options_.logMoves)) {
        log_.Write(LogLine("mouse")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Word("msg", name.c_str())
                       .Number("x", GET_X_LPARAM(lParam))
                       .Number("y", GET_Y_LPARAM(lParam))
                       .Hex("keys", GET_KEYSTATE_WPARAM(wParam)));
    } else if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) {
        // The wheel messages carry a screen point.
        log_.Write(LogLine("mouse")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Word("msg", name.c_str())
                       .Number("x", GET_X_LPARAM(lParam))
                       .Number("y", GET_Y_LPARAM(lParam))
                       .Hex("keys", GET_KEYSTATE_WPARAM(wParam))
                       .Number("delta", GET_WHEEL_DELTA_WPARAM(wParam)));
    } else if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        log_.Write(LogLine("focus")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Number("gained", message == WM_SETFOCUS)
                       .Hex("other", wParam));
    } else if (message == WM_ACTIVATE) {
        log_.Write(LogLine("activate")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Number("active", LOWORD(wParam) != WA_INACTIVE)
                       .Hex("other", static_cast<std::uint64_t>(lParam)));
    } else if (message == WM_CAPTURECHANGED) {
        log_.Write(LogLine("capture")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Hex("to", static_cast<std::uint64_t>(lParam)));
    } else if (message == WM_COMMAND) {
        log_.Write(LogLine("command")
                       .Number("t", now)
                       .Hex("hwnd", HandleValue(window))
                       .Number("id", LOWORD(wParam))
                       .Number("code", HIWORD(wParam))
                       .Hex("from", static_cast<std::uint64_t>(lParam)));
    }
}

} // namespace qvl::e2e
