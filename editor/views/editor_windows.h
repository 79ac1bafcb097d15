// The editor's windows: the device panel, made for the document; beside it the keyset overview and the
// help window, at most one of each, modeless, each closing and freeing itself; the Test window, the
// About box and the Preferences dialog, modal. The program's entry makes one of these for the
// application; whatever is still open when the editor ends is closed with it.
#pragma once

#include "editor/app/editor_views.h"

#include <memory>

namespace qvl {

class CEditorApp;
class CHelpWindow;
class CKeysetOverviewDlg;
class CQVLsetView;

class CEditorWindows final : public EditorViews {
public:
    explicit CEditorWindows(CEditorApp& app);
    ~CEditorWindows() override;

    std::unique_ptr<framework::View> CreatePanel() override;
    bool CompletePanel(framework::View& panel) override;
    void SavePanelAssignment(framework::View& panel) override;

    // Display Keyset: open the overview on a copy of the current keyset; when it is open already, point
    // it at `view`, show the current keyset in it afresh and bring it to the front. Nothing opens when
    // there is no current keyset.
    void DisplayKeyset(CQVLsetView& view);
    // Help Topics: open the help window, or bring the open one to the front.
    void ShowHelp();
    // Test, About and Preferences, modal.
    void RunTest();
    void RunAbout() override;
    void RunPreferences() override;
    void RunWindowRule(KeysetCommands& commands) override;
    // Close the modeless windows (the editor is ending).
    void CloseAll() override;

    CKeysetOverviewDlg* Overview() const { return overview_.get(); }

private:
    CEditorApp& app_;
    std::unique_ptr<CKeysetOverviewDlg> overview_;
    std::unique_ptr<CHelpWindow> help_;
};

} // namespace qvl
