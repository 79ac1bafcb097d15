// qvl2rs.exe, the resident driver of the Quorvel 2.
#include "driver/core/driver_app_win32.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qvl::CDriverApp app(instance);
    return app.Run();
}
