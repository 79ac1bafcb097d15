// Reading a dialog of any process: caption, program, and every control directly inside it.
#pragma once

#include "log_file_win32.h"
#include "watch_rules.h"

#include <windows.h>

#include <vector>

namespace qvl::e2e {

// The visible top-level windows of class "#32770", in z order.
std::vector<HWND> VisibleDialogs();

DialogInfo ReadDialog(HWND dialog);

// A "dialog" line (caption, program, static text, buttons) and a "control" line per control.
void LogDialog(LogFile& log, HWND dialog, const DialogInfo& info);

} // namespace qvl::e2e
