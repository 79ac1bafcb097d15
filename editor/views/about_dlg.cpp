#include "editor/views/about_dlg.h"

#include "editor/res/resource.h"

namespace qvl {

CAboutDlg::CAboutDlg(HINSTANCE instance) : Dialog(instance, IDD_ABOUT) {}

bool CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    pictures_.ScaleForDpi(Handle(), framework::ScreenDpi());
    return true;
}

void RunAboutDialog(HINSTANCE instance, HWND owner) {
    CAboutDlg dialog(instance);
    dialog.DoModal(owner);
}

} // namespace qvl
