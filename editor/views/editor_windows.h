// The editor's windows beside the panel: the keyset overview and the help window, at most one of each,
// modeless, each closing and freeing itself; the Test window and the About box, modal. The application
// owns one of these; whatever is still open when the editor ends is closed with it.
#pragma once

#include <memory>

namespace qvl {

class CEditorApp;
class CHelpWindow;
class CKeysetOverviewDlg;
class CQVLsetView;

class CEditorWindows {
public:
    explicit CEditorWindows(CEditorApp& app);
    CEditorWindows(const CEditorWindows&) = delete;
    CEditorWindows& operator=(const CEditorWindows&) = delete;
    ~CEditorWindows();

    // Display Keyset: open the overview on a copy of the current keyset; when it is open already, point
    // it at `view`, show the current keyset in it afresh and bring it to the front. Nothing opens when
    // there is no current keyset.
    void DisplayKeyset(CQVLsetView& view);
    // Help Topics: open the help window, or bring the open one to the front.
    void ShowHelp();
    // Test and About, modal.
    void RunTest();
    void RunAbout();
    // Close the modeless windows (the editor is ending).
    void CloseAll();

    CKeysetOverviewDlg* Overview() const { return overview_.get(); }

private:
    CEditorApp& app_;
    std::unique_ptr<CKeysetOverviewDlg> overview_;
    std::unique_ptr<CHelpWindow> help_;
};

} // namespace qvl
