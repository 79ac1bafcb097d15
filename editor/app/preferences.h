// The Preferences dialog's "Close": the driver's autostart entry and the preferences (the record and
// the port); the dialog's port box; and the editor's write of the preferences beside other writers.
//
// The autostart entry is the value "qvl2rs" under the current user's
// "Software\Microsoft\Windows\CurrentVersion\Run": the editor's own folder followed by "qvl2rs", the
// driver's file name without extension, which Windows runs at log-on.
#pragma once

#include "appbase/run_entry.h"
#include "model/prefs_storage.h"
#include "model/serial_ports.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

// The command line that starts the driver beside the editor at `editorPath`: the editor's folder
// (up to and with its last backslash) followed by "qvl2rs". A path with a blank is put in quotes, so
// Windows cannot take the part before the blank for the program.
std::string DriverCommandLine(std::string_view editorPath);

// What the dialog's controls held when the user pressed Close.
struct PreferencesChoice {
    int port = 1;        // COM1 to COM256
    int loadAtStart = 1; // the check box
};

// Set or remove the autostart entry and put the choice into `prefs` (which the caller then writes):
// the port as chosen, and whether the driver starts with Windows as the entry now really is (an entry
// that could not be written is not there; one that could not be removed still is). The result is
// the entry's write or removal.
StoreResult ApplyPreferences(const PreferencesChoice& choice, std::string_view editorPath, RunKeyEntry& autostart,
                             Preferences& prefs);

// The editor's preferences beside other writers (the driver stores the port it found the device on, a
// .reg file may write anything): `mine` with each setting the editor has left as it was in `base` (what
// it last read or wrote) taken from `theirs` (what is stored now), so that a write of the editor's
// keeps what others stored since.
Preferences MergePreferences(const Preferences& base, const Preferences& mine, const Preferences& theirs);

// An item of the port box: its port and its text.
struct PortItem {
    int port;
    std::string text;
};

// The port box's items, in the order of their numbers: each port listed ("COM7 - USB Serial Port",
// "COM3" when the system gives no description) and the stored port when it is not among them, by
// `notPresent` ("%1 (not present)", "%1" its name).
std::vector<PortItem> PortBoxItems(const std::vector<SerialPort>& listed, int stored, std::string_view notPresent);
// The port the box's text names: an item's text, or a port's name typed ("com7", blanks around it
// ignored); nothing for any other text.
std::optional<int> ChosenPort(const std::string& text, const std::vector<PortItem>& items);

} // namespace qvl
