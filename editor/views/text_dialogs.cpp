#include "editor/views/text_dialogs.h"

#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "framework/dialog.h"

namespace qvl {

namespace {

// The templates by title; Add (or a double click) takes the one selected.
class TemplateDialog final : public framework::Dialog {
public:
    TemplateDialog(HINSTANCE instance, const std::vector<std::string>& titles)
        : Dialog(instance, IDD_NEW_FROM_TEMPLATE), titles_(titles) {
        OnNotification(IDC_TEMPLATE_LIST, LBN_DBLCLK, [this] { OnOK(); });
    }
    int chosen = -1;

protected:
    bool OnInitDialog() override {
        for (const std::string& title : titles_)
            SendDlgItemMessageA(Handle(), IDC_TEMPLATE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
        SendDlgItemMessageA(Handle(), IDC_TEMPLATE_LIST, LB_SETCURSEL, 0, 0);
        return Dialog::OnInitDialog();
    }
    void OnOK() override {
        chosen = static_cast<int>(SendDlgItemMessageA(Handle(), IDC_TEMPLATE_LIST, LB_GETCURSEL, 0, 0));
        EndDialog(IDOK);
    }

private:
    const std::vector<std::string>& titles_;
};

} // namespace

// The text commands name the strings they tell by their ids in the string table.
static_assert(kTextRefusedMessageId == IDS_TEXT_REFUSED);

std::optional<std::size_t> CTextDialogs::ChooseTemplate(const std::vector<std::string>& titles) {
    TemplateDialog dialog(app_.Instance(), titles);
    if (dialog.DoModal(app_.GetMainHandle()) != IDOK || dialog.chosen < 0)
        return std::nullopt;
    return static_cast<std::size_t>(dialog.chosen);
}

std::string CTextDialogs::TemplateText(unsigned id) {
    const HINSTANCE instance = app_.Instance();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr)
        return std::string();
    return std::string(static_cast<const char*>(data), SizeofResource(instance, found));
}

} // namespace qvl
