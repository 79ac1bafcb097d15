#include "dialog_actions_win32.h"

#include "performance_count_win32.h"
#include "window_info_win32.h"

namespace qvl::e2e {

namespace {

// Sent messages that carry a text must be sent, not posted (only then does the system copy the
// text into the other process); the time-out keeps a hung dialog from stopping the watcher.
constexpr UINT kSendTimeoutMs = 5000;

bool SendText(HWND control, UINT message, WPARAM wParam, const std::string& text, DWORD_PTR& result) {
    return SendMessageTimeoutA(control, message, wParam, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &result) != 0;
}

LogLine Step(const char* kind, HWND dialog, int id) {
    LogLine line(kind);
    line.Number("t", PerformanceCount()).Hex("hwnd", HandleValue(dialog)).Number("id", id);
    return line;
}

bool Fill(LogFile& log, HWND dialog, const ControlText& fill) {
    HWND control = GetDlgItem(dialog, fill.id);
    DWORD_PTR result = 0;
    const bool done = control != nullptr && SendText(control, WM_SETTEXT, 0, fill.text, result) && result != 0;
    log.Write(Step("fill", dialog, fill.id).Text("text", fill.text).Number("ok", done));
    return done;
}

bool Select(LogFile& log, HWND dialog, const ControlText& select) {
    HWND control = GetDlgItem(dialog, select.id);
    DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
    const bool found = control != nullptr &&
                       SendText(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), select.text, index) &&
                       static_cast<LRESULT>(index) != CB_ERR;
    // A selection made by message tells the owner nothing; a user's would, so say it.
    if (found)
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(select.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    log.Write(Step("select", dialog, select.id)
                  .Text("text", select.text)
                  .Number("index", found ? static_cast<long long>(index) : -1)
                  .Number("ok", found));
    return found;
}

bool Check(LogFile& log, HWND dialog, const ControlText& check) {
    HWND control = GetDlgItem(dialog, check.id);
    const WPARAM wanted = check.text == "1" ? BST_CHECKED : BST_UNCHECKED;
    DWORD_PTR state = 0;
    bool done = control != nullptr &&
                SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state) != 0;
    // A click, not BM_SETCHECK: the dialog learns of it exactly as from its user, whatever kind of
    // check box it is.
    const bool click = done && state != wanted;
    if (click)
        done = PostMessageA(control, BM_CLICK, 0, 0) != 0;
    log.Write(Step("check", dialog, check.id)
                  .Number("state", wanted == BST_CHECKED)
                  .Number("clicked", click)
                  .Number("ok", done));
    return done;
}

bool Press(LogFile& log, HWND dialog, const DialogInfo& info, const ControlRef& ref) {
    const std::optional<int> id = FindButton(info, ref);
    // An id may name a command the dialog knows without a button for it (IDCANCEL in any dialog).
    const int command = id ? *id : ref.id.value_or(-1);
    bool done = false;
    if (command >= 0) {
        HWND button = GetDlgItem(dialog, command);
        // Posted: the answer may open another dialog, which this watcher must then be free to see.
        done = PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
    }
    log.Write(
        Step("press", dialog, command).Text("button", ref.text).Number("found", id.has_value()).Number("ok", done));
    return done;
}

} // namespace

bool AnswerDialog(LogFile& log, HWND dialog, const DialogInfo& info, const WatchRule& rule) {
    bool done = true;
    for (const ControlText& fill : rule.fills)
        done = Fill(log, dialog, fill) && done;
    for (const ControlText& select : rule.selects)
        done = Select(log, dialog, select) && done;
    for (const ControlText& check : rule.checks)
        done = Check(log, dialog, check) && done;
    if (rule.press)
        done = Press(log, dialog, info, *rule.press) && done;
    return done;
}

} // namespace qvl::e2e
