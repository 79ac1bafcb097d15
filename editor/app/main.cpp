// QVL2.exe, the keyset editor.
#include "editor/app/editor_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qvl::CEditorApp app(instance);
    return app.Run();
}
