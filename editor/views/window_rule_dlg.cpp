#include "editor/views/window_rule_dlg.h"

#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "editor/views/open_windows_win32.h"
#include "framework/data_exchange.h"
#include "framework/string_table.h"

namespace qvl {

CWindowRuleDlg::CWindowRuleDlg(HINSTANCE instance, WindowRuleForm& form)
    : Dialog(instance, IDD_WINDOW_RULE), form_(form) {
    OnNotification(IDC_RULE_WINDOWS, LBN_SELCHANGE, [this] { OnPick(); });
}

bool CWindowRuleDlg::OnInitDialog() {
    for (const int field : {IDC_RULE_PROGRAM, IDC_RULE_TITLE, IDC_RULE_CLASS})
        SendDlgItemMessageA(Handle(), field, EM_LIMITTEXT, kRuleFieldMax, 0);
    // Program, title and class in columns (dialog units).
    INT stops[2] = {70, 210};
    SendDlgItemMessageA(Handle(), IDC_RULE_WINDOWS, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    SendDlgItemMessageA(Handle(), IDC_RULE_WINDOWS, LB_SETHORIZONTALEXTENT, 1600, 0);
    for (const OpenWindow& window : form_.Rows())
        SendDlgItemMessageA(Handle(), IDC_RULE_WINDOWS, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(WindowRuleForm::RowText(window).c_str()));
    return Dialog::OnInitDialog();
}

void CWindowRuleDlg::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Text(IDC_RULE_PROGRAM, form_.rule.program);
    exchange.Text(IDC_RULE_TITLE, form_.rule.title);
    exchange.Text(IDC_RULE_CLASS, form_.rule.windowClass);
}

void CWindowRuleDlg::OnPick() {
    const LRESULT row = SendDlgItemMessageA(Handle(), IDC_RULE_WINDOWS, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR)
        return;
    UpdateData(true); // what was typed stays where the pick does not reach
    form_.Pick(static_cast<std::size_t>(row));
    UpdateData(false);
}

void CWindowRuleDlg::OnOK() {
    UpdateData(true);
    // A failed save is told by the commands, once, as every failed save; the dialog closes either
    // way, and the next save writes what this one could not.
    keysetGone = !form_.Store().has_value();
    EndDialog(IDOK);
}

void RunWindowRuleDialog(CEditorApp& app, KeysetCommands& commands) {
    Win32OpenWindows windows;
    WindowRuleForm form(commands, windows);
    if (!form.Begin())
        return;
    CWindowRuleDlg dialog(app.Instance(), form);
    dialog.DoModal(app.GetMainHandle());
    if (dialog.keysetGone) {
        const std::string text =
            framework::FormatResourceString(app.Instance(), IDS_RULE_KEYSET_GONE, {form.KeysetName()});
        app.Boxes().Show(text.c_str(), nullptr, MessageIcon::kWarning);
    }
}

} // namespace qvl
