#include "driver/core/note_wnd_win32.h"

#include "framework/dpi.h"

namespace qvl {

namespace {

constexpr UINT kNoteWaitingMessage = WM_APP + 1;
constexpr UINT_PTR kFadeTimer = 1;
constexpr int kPaddingPx = 10; // at 96 DPI, around the text
constexpr int kMarginPx = 16;  // at 96 DPI, from the work area's corner

// The monitor's own DPI where the system knows one (from Windows 8.1 on), the screen's otherwise.
int MonitorDpi(HMONITOR monitor) {
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;
    const HMODULE shcore = monitor != nullptr ? LoadLibraryA("shcore.dll") : nullptr;
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (shcore != nullptr) {
        const auto function =
            reinterpret_cast<DpiForMonitor>(reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")));
        if (function == nullptr || FAILED(function(monitor, kEffectiveDpi, &dpiX, &dpiY)))
            dpiY = 0;
        FreeLibrary(shcore);
    }
    return dpiY > 0 ? static_cast<int>(dpiY) : framework::ScreenDpi();
}

// The system's message font, at `dpi`: the system gives it at its own DPI.
GdiObjectHandle MessageFont(int dpi) {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return GdiObjectHandle(CreateFontA(-framework::ScaleForDpi(12, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                           DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    LOGFONTA font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, framework::ScreenDpi());
    return GdiObjectHandle(CreateFontIndirectA(&font));
}

SIZE TextSize(HFONT font, const std::string& text) {
    RECT bounds = {0, 0, 0, 0};
    if (HDC screen = GetDC(nullptr)) {
        const HGDIOBJ old = SelectObject(screen, font);
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &bounds,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
    }
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

} // namespace

bool CNoteWnd::CreateNote(HINSTANCE instance) {
    if (!RegisterWindowClass(instance, kNoteWindowClass, 0, nullptr, LoadCursor(nullptr, IDC_ARROW)))
        return false;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if (!Create(exStyle, kNoteWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance))
        return false;
    postTarget_ = Handle();
    return true;
}

void CNoteWnd::DestroyNote() {
    postTarget_ = nullptr;
    Destroy();
}

void CNoteWnd::PostNoteWaiting() {
    if (const HWND target = postTarget_.load())
        PostMessageA(target, kNoteWaitingMessage, 0, 0);
}

RECT CNoteWnd::Place(const std::string& text) {
    const HMONITOR monitor = MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    const int dpi = MonitorDpi(monitor);
    if (font_.Get() == nullptr || dpi != dpi_) {
        font_ = MessageFont(dpi);
        dpi_ = dpi;
    }
    const SIZE size = TextSize(static_cast<HFONT>(font_.Get()), text);
    const int padding = framework::ScaleForDpi(kPaddingPx, dpi);
    const int margin = framework::ScaleForDpi(kMarginPx, dpi);
    const int width = size.cx + 2 * padding;
    const int height = size.cy + padding;
    const int right = info.rcWork.right - margin;
    const int bottom = info.rcWork.bottom - margin;
    return RECT{right - width, bottom - height, right, bottom};
}

void CNoteWnd::Show(const std::string& text) {
    if (Handle() == nullptr)
        return;
    const RECT place = Place(text);
    SetWindowTextA(Handle(), text.c_str());
    fade_.Start(GetTickCount64());
    SetLayeredWindowAttributes(Handle(), 0, CNoteFade::kFullAlpha, LWA_ALPHA);
    // Shown without activation, whatever was in front stays there with its focus.
    SetWindowPos(Handle(), HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    InvalidateRect(Handle(), nullptr, TRUE);
    SetTimer(Handle(), kFadeTimer, CNoteFade::kHoldMs, nullptr);
    if (shown_)
        shown_(text);
}

void CNoteWnd::Tick() {
    const std::uint64_t now = GetTickCount64();
    const std::optional<unsigned> next = fade_.NextTickMs(now);
    if (!next) {
        // Faded: no timer runs until the next note.
        KillTimer(Handle(), kFadeTimer);
        ShowWindow(Handle(), SW_HIDE);
        return;
    }
    SetLayeredWindowAttributes(Handle(), 0, fade_.Alpha(now), LWA_ALPHA);
    SetTimer(Handle(), kFadeTimer, *next, nullptr);
}

void CNoteWnd::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    if (dc == nullptr)
        return;
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    char text[256];
    const int length = GetWindowTextA(Handle(), text, sizeof text);
    const HGDIOBJ old = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextA(dc, text, length, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(Handle(), &paint);
}

LRESULT CNoteWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kNoteWaitingMessage:
            if (std::optional<std::string> text = take_())
                Show(*text);
            return 0;
        case WM_TIMER:
            if (wParam != kFadeTimer)
                break;
            Tick();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE; // a click never brings the note, or the driver, forward
        case WM_NCHITTEST:
            return HTTRANSPARENT; // the click goes to the window under the note
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace qvl
