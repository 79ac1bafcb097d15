// The on-screen note: a small window of its own class that says, for a moment and a half, which
// keyset the driver now uses or what a press did, then fades. It is never activated and never takes
// the focus or the mouse: a topmost tool window, layered and transparent to clicks, shown without
// activation, so the program in front stays the foreground window and keeps its keyboard state. It
// sits at the bottom right of the work area of the monitor the window in front is on, sized for that
// monitor's DPI, in the system's message font; its window text is the text it shows.
#pragma once

#include "base/unique_handle_win32.h"
#include "driver/core/note_fade.h"
#include "framework/window.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace qvl {

constexpr const char* kNoteWindowClass = "QVL2Note";

class CNoteWnd final : public framework::Window {
public:
    // `take` gives the latest note waiting (on this window's thread); `shown` hears each note shown.
    CNoteWnd(std::function<std::optional<std::string>()> take, std::function<void(const std::string&)> shown)
        : take_(std::move(take)), shown_(std::move(shown)) {}

    // Register the class and create the window, hidden; false when either fails.
    bool CreateNote(HINSTANCE instance);
    void DestroyNote();
    // From any thread: a note is waiting. Nothing is posted before the window exists or once it goes.
    void PostNoteWaiting();
    // On the window's thread: show `text` now, in place of any note shown.
    void Show(const std::string& text);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override { postTarget_ = nullptr; }

private:
    // The font and the place for `text` on the monitor of the window in front.
    RECT Place(const std::string& text);
    void Paint();
    void Tick();

    std::function<std::optional<std::string>()> take_;
    std::function<void(const std::string&)> shown_;
    CNoteFade fade_;
    GdiObjectHandle font_;
    int dpi_ = 96;
    std::atomic<HWND> postTarget_{nullptr};
};

} // namespace qvl
