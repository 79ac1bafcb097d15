// QVL2.exe, the keyset editor.
#include "editor/app/editor_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    qvl::CEditorApp app(instance, commandLine != nullptr ? commandLine : "");
    return app.Run();
}
