// QVL2.exe, the keyset editor: the application and its windows, joined here, where both may be seen.
#include "editor/app/editor_app.h"
#include "editor/views/editor_windows.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    qvl::CEditorApp app(instance, commandLine != nullptr ? commandLine : "");
    qvl::CEditorWindows windows(app);
    app.SetViews(windows);
    return app.Run();
}
