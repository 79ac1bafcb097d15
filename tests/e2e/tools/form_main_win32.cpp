// qvl_form: a dialog with an edit, a combo box and a check box, as a settings dialog has, so a
// test can check that the watcher fills them in the way a user would.
//   qvl_form [--checked]
// Logs on standard output what the dialog's owner was told ("selchange", "clicked") and, on Close,
// the values it holds ("form name=... port=... index=... autostart=..."). Exits with the id of the
// button that closed it.
#include "log_line.h"
#include "res/form_resource.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using qvl::e2e::LogLine;

void Print(const LogLine& line) {
    std::printf("%s\n", line.Str().c_str());
    std::fflush(stdout);
}

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const char* ports[] = {"COM1", "COM2", "COM3", "COM4"};
            for (const char* port : ports)
                SendDlgItemMessageA(dialog, IDC_FORM_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port));
            SendDlgItemMessageA(dialog, IDC_FORM_PORT, CB_SETCURSEL, 0, 0);
            CheckDlgButton(dialog, IDC_FORM_AUTOSTART, lParam != 0 ? BST_CHECKED : BST_UNCHECKED);
            return TRUE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDC_FORM_PORT && code == CBN_SELCHANGE) {
                Print(LogLine("selchange")
                          .Number("index", SendDlgItemMessageA(dialog, IDC_FORM_PORT, CB_GETCURSEL, 0, 0)));
            } else if (id == IDC_FORM_AUTOSTART && code == BN_CLICKED) {
                Print(LogLine("clicked").Number("autostart", IsDlgButtonChecked(dialog, IDC_FORM_AUTOSTART)));
            } else if (id == IDOK || id == IDCANCEL) {
                if (id == IDOK) {
                    Print(LogLine("form")
                              .Text("name", ItemText(dialog, IDC_FORM_NAME))
                              .Text("port", ItemText(dialog, IDC_FORM_PORT))
                              .Number("index", SendDlgItemMessageA(dialog, IDC_FORM_PORT, CB_GETCURSEL, 0, 0))
                              .Number("autostart", IsDlgButtonChecked(dialog, IDC_FORM_AUTOSTART)));
                }
                EndDialog(dialog, id);
            }
            return TRUE;
        }
        default:
            break;
    }
    return FALSE;
}

} // namespace

int main(int argc, char** argv) {
    const bool checked = argc == 2 && std::strcmp(argv[1], "--checked") == 0;
    return static_cast<int>(
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FORM), nullptr, FormProc, checked ? 1 : 0));
}
