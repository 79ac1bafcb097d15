// The Preferences dialog (template 167): the driver's serial port, whether the driver starts with
// Windows, and which on-screen notes the driver shows. The port box lists the serial ports the machine
// has (and the stored one when it is not among them) and takes a typed name; Find Device has the
// running driver look for the device on every port. "Close" writes the driver's Run entry, the
// preferences and the note settings, or, for a port name that names no port, says so and stays open;
// Escape and the close box change nothing.
#pragma once

#include "editor/app/preferences.h"
#include "framework/dialog.h"
#include "model/prefs_storage.h"

#include <string>
#include <vector>

namespace qvl {

class CEditorApp;

class CPrefsDialog : public framework::Dialog {
public:
    // Starts from the application's preferences.
    explicit CPrefsDialog(CEditorApp& app);

    int port = 1;        // COM1 to COM256, as stored
    int loadAtStart = 1; // check box
    int noteKeyset = 1;  // check box: the keyset on screen when it changes
    int noteActions = 0; // check box: each action on screen

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& exchange) override;
    void OnOK() override;

private:
    void FillPortBox();
    // The port the box names; false, after saying so with the name selected, when it names none.
    bool TakePort();
    void FindDevice();

    CEditorApp& app_;
    NoteSettings notes_; // as stored when the dialog opened
    std::vector<PortItem> portItems_;
};

} // namespace qvl
