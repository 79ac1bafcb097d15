// The Preferences dialog's "Close": the driver's autostart entry and the preferences record.
//
// The autostart entry is the value "qvl2rs" under the current user's
// "Software\Microsoft\Windows\CurrentVersion\Run": the editor's own folder followed by "qvl2rs", the
// driver's file name without extension, which Windows runs at log-on.
#pragma once

#include "appbase/run_entry.h"
#include "model/prefs_record.h"

#include <string>
#include <string_view>

namespace qvl {

// The command line that starts the driver beside the editor at `editorPath`: the editor's folder
// (up to and with its last backslash) followed by "qvl2rs". A path with a blank is put in quotes, so
// Windows cannot take the part before the blank for the program.
std::string DriverCommandLine(std::string_view editorPath);

// What the dialog's controls held when the user pressed Close.
struct PreferencesChoice {
    int comPort = 0;     // list index 0..3 = COM1..COM4; -1: nothing chosen
    int loadAtStart = 1; // the check box
};

// Set or remove the autostart entry and put the choice into `prefs` (which the caller then writes):
// the port as chosen, and whether the driver starts with Windows as the entry now really is (an entry
// that could not be written is not there; one that could not be removed still is). The result is
// the entry's write or removal.
StoreResult ApplyPreferences(const PreferencesChoice& choice, std::string_view editorPath, RunKeyEntry& autostart,
                             PrefsRecord& prefs);

} // namespace qvl
