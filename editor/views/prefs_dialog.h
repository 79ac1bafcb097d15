// The Preferences dialog (template 167): the driver's serial port, whether the driver starts with
// Windows, and which on-screen notes the driver shows. "Close" writes the driver's Run entry, the
// preferences and the note settings; Escape and the close box change nothing.
#pragma once

#include "framework/dialog.h"
#include "model/prefs_storage.h"

namespace qvl {

class CEditorApp;

class CPrefsDialog : public framework::Dialog {
public:
    // Starts from the application's preferences record.
    explicit CPrefsDialog(CEditorApp& app);

    int comPort = 0;     // list index 0..3 = COM1..COM4
    int loadAtStart = 1; // check box
    int noteKeyset = 1;  // check box: the keyset on screen when it changes
    int noteActions = 0; // check box: each action on screen

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& exchange) override;
    void OnOK() override;

private:
    CEditorApp& app_;
    NoteSettings notes_; // as stored when the dialog opened
};

} // namespace qvl
