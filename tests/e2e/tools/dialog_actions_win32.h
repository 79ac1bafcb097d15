// Answering a dialog of another process the way its user would: fill the edits, pick the combo
// entries, set the check boxes, then press the button. Every step is logged with its outcome.
#pragma once

#include "log_file_win32.h"
#include "watch_rules.h"

#include <windows.h>

namespace qvl::e2e {

// Runs the rule's actions on the dialog; false when one of them could not be done.
bool AnswerDialog(LogFile& log, HWND dialog, const DialogInfo& info, const WatchRule& rule);

} // namespace qvl::e2e
