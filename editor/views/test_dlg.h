// The Test window (template 169, caption "Test"): a text field in which the device's keystrokes can
// be watched. While it is in front the driver sends an assignment's keystrokes instead of selecting
// the control on the panel, so they arrive here like typing. The field has no want-return style and
// "Close" is the default button: a key assigned Enter closes the window, Tab moves the focus. The
// field is a wide window, so that the characters steps type (sent as characters, whatever the keyboard
// layout) show as they are, not as the code page's default character.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"

namespace qvl {

class CEditorApp;

class CTestDlg : public framework::Dialog {
public:
    explicit CTestDlg(CEditorApp& app);

protected:
    // The instructions in the field, all selected, so that the first key replaces them.
    bool OnInitDialog() override;

private:
    CEditorApp& app_;
    framework::Edit field_;
};

// Run the Test window modally, owned by the editor's main window.
void RunTestDialog(CEditorApp& app);

} // namespace qvl
