#include "driver/output/process_rights_win32.h"

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <vector>

namespace qvl {

namespace {

// The integrity level of a process's token, or nothing when it cannot be read.
bool IntegrityLevel(HANDLE process, unsigned long& level) {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &rawToken))
        return false;
    const KernelHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return false;
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    const DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
    if (count == 0)
        return false;
    level = *GetSidSubAuthority(label->Label.Sid, count - 1);
    return true;
}

} // namespace

Win32ProcessRights::Win32ProcessRights() {
    // Unknown for ourselves (a system without levels): every other program counts as level with us.
    if (!IntegrityLevel(GetCurrentProcess(), ownLevel_))
        ownLevel_ = ~0ul;
}

bool Win32ProcessRights::RunsAbove(std::uint32_t processId) {
    if (ownLevel_ == ~0ul)
        return false;
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return true; // not even allowed to ask: it is above us
    unsigned long level = 0;
    return !IntegrityLevel(process.Get(), level) || level > ownLevel_;
}

} // namespace qvl
