#include "framework/dialog.h"

namespace qvl::framework {

HWND ModalOwner(HWND window) {
    if (window == nullptr)
        return nullptr;
    HWND top = GetAncestor(window, GA_ROOT);
    if (top == nullptr)
        return nullptr;
    // The window the user last worked in among `top` and the windows it owns: a modal one that is up.
    HWND popup = GetLastActivePopup(top);
    return popup != nullptr && IsWindowVisible(popup) && IsWindowEnabled(popup) ? popup : top;
}

INT_PTR Dialog::DoModal(HWND owner) {
    modeless_ = false;
    return RunModal(instance_, templateId_, ModalOwner(owner));
}

bool Dialog::Create(HWND owner) {
    modeless_ = true;
    return CreateFromTemplate(instance_, templateId_, owner);
}

bool Dialog::PreTranslateModeless(MSG& message) {
    if (message.hwnd == nullptr)
        return false;
    HWND top = GetAncestor(message.hwnd, GA_ROOT);
    auto* dialog = dynamic_cast<Dialog*>(DialogWindow::FromHandle(top));
    return dialog != nullptr && dialog->modeless_ && IsDialogMessageW(top, &message);
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::EndDialog(INT_PTR result) {
    if (Handle() == nullptr)
        return;
    if (modeless_)
        DestroyWindow(Handle());
    else
        ::EndDialog(Handle(), result);
}

bool Dialog::OnCommandMessage(UINT id, UINT code, HWND control) {
    if (ExecuteCommand(id, control == nullptr ? kCommandCode : code))
        return true;
    if (code != BN_CLICKED && control != nullptr)
        return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

} // namespace qvl::framework
