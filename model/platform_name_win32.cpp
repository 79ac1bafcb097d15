#include "model/platform_name.h"

#include <windows.h>

#include <cstring>

namespace qvl {

void PlatformName(char* buffer) {
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    GetVersionExA(&version);
    std::strcpy(buffer, PlatformNameFor(version.dwPlatformId, version.dwBuildNumber));
}

} // namespace qvl
