#include "dialog_reader_win32.h"

#include "performance_count_win32.h"
#include "window_info_win32.h"

namespace qvl::e2e {

namespace {

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && ClassNameOf(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

DialogInfo ReadDialog(HWND dialog) {
    DialogInfo info;
    info.caption = WindowTextOf(dialog);
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    info.process = ProcessFileName(processId);
    // Only the dialog's own controls: those are what GetDlgItem and WM_COMMAND ids refer to.
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        DialogControl control;
        control.id = GetDlgCtrlID(child);
        control.className = ClassNameOf(child);
        control.text = WindowTextOf(child);
        control.visible = IsWindowVisible(child) != 0;
        info.controls.push_back(control);
    }
    return info;
}

void LogDialog(LogFile& log, HWND dialog, const DialogInfo& info) {
    std::string buttons;
    for (const DialogControl* button : info.Buttons()) {
        if (!buttons.empty())
            buttons += '|';
        buttons += button->text;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    log.Write(LogLine("dialog")
                  .Number("t", PerformanceCount())
                  .Hex("hwnd", HandleValue(dialog))
                  .Number("pid", processId)
                  .Text("process", info.process)
                  .Text("caption", info.caption)
                  .Text("text", info.StaticText())
                  .Text("buttons", buttons));
    for (const DialogControl& control : info.controls) {
        log.Write(LogLine("control")
                      .Hex("dialog", HandleValue(dialog))
                      .Number("id", control.id)
                      .Text("class", control.className)
                      .Text("text", control.text)
                      .Number("visible", control.visible));
    }
}

} // namespace qvl::e2e
