#include "message_names_win32.h"

#include "log_line.h"
#include "tool_args.h"

namespace qvl::e2e {

namespace {

struct NamedMessage {
    UINT id;
    const char* name;
};

const NamedMessage kMessages[] = {
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
    {WM_SYSKEYUP, "WM_SYSKEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_DEADCHAR, "WM_DEADCHAR"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
    {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
    {WM_MBUTTONUP, "WM_MBUTTONUP"},
    {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
    {WM_MOUSEHWHEEL, "WM_MOUSEHWHEEL"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_APP, "WM_APP"},
    {WM_USER, "WM_USER"},
};

} // namespace

std::string MessageName(UINT message) {
    for (const NamedMessage& known : kMessages) {
        if (known.id == message)
            return known.name;
    }
    return HexValue(message);
}

UINT MessageFromName(const std::string& name) {
    for (const NamedMessage& known : kMessages) {
        if (name == known.name)
            return known.id;
    }
    const std::optional<long long> number = ParseInteger(name);
    return number && *number > 0 && *number <= 0xFFFF ? static_cast<UINT>(*number) : 0;
}

} // namespace qvl::e2e
