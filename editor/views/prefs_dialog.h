// The Preferences dialog (template 167): the driver's serial port and whether the driver starts
// with Windows. "Close" writes the driver's Run entry and the preferences; Escape and the close box
// change nothing.
#pragma once

#include "framework/dialog.h"

namespace qvl {

class CEditorApp;

class CPrefsDialog : public framework::Dialog {
public:
    // Starts from the application's preferences record.
    explicit CPrefsDialog(CEditorApp& app);

    int comPort = 0;     // list index 0..3 = COM1..COM4
    int loadAtStart = 1; // check box

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& exchange) override;
    void OnOK() override;

private:
    CEditorApp& app_;
};

} // namespace qvl
