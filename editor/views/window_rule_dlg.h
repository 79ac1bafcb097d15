// The Window Rule dialog (Edit, "Window Rule..."): the current keyset's rule in three fields, and the
// top-level windows open now, a click on one of which fills the fields. OK stores the rule; Cancel,
// Escape and the close box change nothing.
#pragma once

#include "editor/app/window_rule_form.h"
#include "framework/dialog.h"

namespace qvl {

class CEditorApp;
class KeysetCommands;

class CWindowRuleDlg : public framework::Dialog {
public:
    CWindowRuleDlg(HINSTANCE instance, WindowRuleForm& form);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& exchange) override;
    void OnOK() override;

private:
    void OnPick();

    WindowRuleForm& form_;

public:
    // OK found the keyset gone from the list (another writer removed it) and stored nothing.
    bool keysetGone = false;
};

// Run the dialog for the current keyset, owned by the editor's window; nothing for "Default".
void RunWindowRuleDialog(CEditorApp& app, KeysetCommands& commands);

} // namespace qvl
