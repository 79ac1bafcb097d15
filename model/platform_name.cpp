#include "model/platform_name.h"

namespace qvl {

const char* PlatformNameFor(std::uint32_t platformId, std::uint32_t buildNumber) {
    if (platformId == kPlatformWin32Nt)
        return "WINNT";
    // Windows 98 reports builds from 1998 on in the low word; 95 reports lower ones.
    return (buildNumber & 0xFFFF) < 1998 ? "WIN95" : "WIN98";
}

} // namespace qvl
