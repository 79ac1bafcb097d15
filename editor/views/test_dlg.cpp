#include "editor/views/test_dlg.h"

#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "framework/string_table.h"

namespace qvl {

CTestDlg::CTestDlg(CEditorApp& app) : Dialog(app.Instance(), IDD_TEST), app_(app) {}

bool CTestDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    // Attached, the field is served by the edit's wide procedure: a typed character reaches it whole.
    field_.AttachItem(Handle(), IDC_TEST_TEXT);
    SetDlgItemTextA(Handle(), IDC_TEST_TEXT,
                    framework::LoadResourceString(app_.Instance(), IDS_TEST_INSTRUCTIONS).c_str());
    // True: the dialog manager focuses the first tab stop, the field, and selects all of its text.
    return true;
}

void RunTestDialog(CEditorApp& app) {
    CTestDlg dialog(app);
    dialog.DoModal(app.GetMainHandle());
}

} // namespace qvl
