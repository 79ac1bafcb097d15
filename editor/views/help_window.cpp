#include "editor/views/help_window.h"

#include "editor/res/resource.h"

namespace qvl {

std::string LoadHelpText(HINSTANCE instance) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_HELP_TEXT), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr)
        return std::string();
    return std::string(static_cast<const char*>(data), SizeofResource(instance, found));
}

CHelpWindow::CHelpWindow(HINSTANCE instance, std::function<void()> onGone)
    : Dialog(instance, IDD_HELP_WINDOW), onGone_(std::move(onGone)) {
    OnNotification(IDC_HELP_TOPICS, LBN_SELCHANGE, [this] {
        ShowTopic(static_cast<int>(SendDlgItemMessageA(Handle(), IDC_HELP_TOPICS, LB_GETCURSEL, 0, 0)));
    });
}

bool CHelpWindow::Open() {
    if (!Create(nullptr))
        return false;
    ShowWindow(Handle(), SW_SHOW);
    return true;
}

void CHelpWindow::Activate() {
    if (Handle() == nullptr)
        return;
    if (IsIconic(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
    SetFocus(Item(IDC_HELP_TOPICS));
}

bool CHelpWindow::OnInitDialog() {
    Dialog::OnInitDialog();
    topics_ = ParseHelpTopics(LoadHelpText(Instance()));
    // Inserted, not added: the list keeps the help's order even if its style sorts.
    for (const HelpTopic& topic : topics_)
        SendDlgItemMessageA(Handle(), IDC_HELP_TOPICS, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(topic.title.c_str()));
    SendDlgItemMessageA(Handle(), IDC_HELP_TOPICS, LB_SETCURSEL, 0, 0);
    ShowTopic(0);
    return true; // the focus on the list, the first tab stop
}

void CHelpWindow::ShowTopic(int index) {
    if (index < 0 || index >= static_cast<int>(topics_.size()))
        return;
    SetDlgItemTextA(Handle(), IDC_HELP_TEXT, topics_[static_cast<std::size_t>(index)].text.c_str());
}

void CHelpWindow::OnFinalDestroy() {
    // Last: the owner may delete this object now.
    const std::function<void()> gone = std::move(onGone_);
    if (gone)
        gone();
}

} // namespace qvl
