// Windows for the click-targeting tests to find in another process: two top-level windows with
// children and a grandchild, all on this program's main thread. It pumps messages (the tests read the
// windows' texts) until the given number of milliseconds has passed.
#include <windows.h>

#include <cstdlib>
#include <initializer_list>

namespace {

void Register(const char* className) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

HWND Make(const char* className, const char* title, HWND parent) {
    const DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    return CreateWindowExA(0, className, title, style, 10, 10, 200, 120, parent, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

} // namespace

int main(int argc, char** argv) {
    const DWORD lifetime = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 30000;
    for (const char* className : {"QvlPeerFrame", "QvlPeerTools", "QvlPeerPane", "QvlPeerButton", "QvlPeerEdit"})
        Register(className);
    HWND main = Make("QvlPeerFrame", "QVL Peer Main", nullptr);
    Make("QvlPeerButton", "Apply", main);
    HWND pane = Make("QvlPeerPane", "", main);
    Make("QvlPeerEdit", "Volume", pane);
    HWND tools = Make("QvlPeerTools", "QVL Peer Tools", nullptr);
    Make("QvlPeerEdit", "Notes", tools);
    if (main == nullptr || tools == nullptr)
        return 1;

    SetTimer(nullptr, 0, lifetime, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            break;
        DispatchMessageA(&message);
    }
    return 0;
}
