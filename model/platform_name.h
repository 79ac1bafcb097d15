// The name of the running Windows platform: "WINNT", "WIN95" or "WIN98". The editor sizes its overview
// font by it and the driver's process listing picks its method by it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvl {

constexpr std::uint32_t kPlatformWin32Windows = 1; // Windows 95 and 98
constexpr std::uint32_t kPlatformWin32Nt = 2;
constexpr std::size_t kPlatformNameSize = 6; // longest name with its NUL

// The name for a platform id and build number as the system reports them.
const char* PlatformNameFor(std::uint32_t platformId, std::uint32_t buildNumber);

// Ask the system and write the name with its NUL into `buffer` (at least kPlatformNameSize bytes).
// Only the Windows build has it.
void PlatformName(char* buffer);

} // namespace qvl
