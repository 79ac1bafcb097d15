#include "editor/views/collection_dialogs.h"

#include "editor/app/collection_commands.h"
#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework/string_table.h"

namespace qvl {

// The commands name the strings they tell by their ids in the string table.
static_assert(kCollectionDamagedMessageId == IDS_COLLECTION_DAMAGED && kDamageNotKeysetsId == IDS_DAMAGE_NOT_KEYSETS &&
              kDamageVersionId == IDS_DAMAGE_VERSION && kDamageEndsEarlyId == IDS_DAMAGE_ENDS_EARLY &&
              kDamageCountId == IDS_DAMAGE_COUNT && kDamageChecksumId == IDS_DAMAGE_CHECKSUM &&
              kDamageRecordId == IDS_DAMAGE_RECORD && kDamageStringId == IDS_DAMAGE_STRING &&
              kDamageTooLargeId == IDS_DAMAGE_TOO_LARGE && kDamageNameId == IDS_DAMAGE_NAME &&
              kBackupFailedMessageId == IDS_BACKUP_FAILED && kRestoreQuestionId == IDS_RESTORE_QUESTION &&
              kNoBackupsMessageId == IDS_NO_BACKUPS && kBackupChoiceId == IDS_BACKUP_CHOICE &&
              kBackupReasonUnknownId == IDS_BACKUP_REASON_UNKNOWN);

namespace {

// Replace, Keep both or Skip, with "Do this for all"; Cancel ends the import.
class ConflictDialog final : public framework::Dialog {
public:
    ConflictDialog(HINSTANCE instance, std::string text)
        : Dialog(instance, IDD_IMPORT_CONFLICT), text_(std::move(text)) {
        OnCommand(IDC_KEEP_BOTH, [this] { End(ConflictChoice::kKeepBoth); });
        OnCommand(IDC_SKIP, [this] { End(ConflictChoice::kSkip); });
    }
    ConflictAnswer answer;

protected:
    bool OnInitDialog() override {
        SetDlgItemTextA(Handle(), IDC_CONFLICT_TEXT, text_.c_str());
        return Dialog::OnInitDialog();
    }
    void OnOK() override { End(ConflictChoice::kReplace); }

private:
    void End(ConflictChoice choice) {
        answer.choice = choice;
        answer.forAll = IsDlgButtonChecked(Handle(), IDC_FOR_ALL) == BST_CHECKED;
        EndDialog(IDOK);
    }
    std::string text_;
};

// The backups, newest first; Restore (or a double click) takes the one selected.
class RestoreDialog final : public framework::Dialog {
public:
    RestoreDialog(HINSTANCE instance, const std::vector<std::string>& choices)
        : Dialog(instance, IDD_RESTORE_BACKUP), choices_(choices) {
        OnNotification(IDC_BACKUP_LIST, LBN_DBLCLK, [this] { OnOK(); });
    }
    int chosen = -1;

protected:
    bool OnInitDialog() override {
        for (const std::string& choice : choices_)
            SendDlgItemMessageA(Handle(), IDC_BACKUP_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
        SendDlgItemMessageA(Handle(), IDC_BACKUP_LIST, LB_SETCURSEL, 0, 0);
        return Dialog::OnInitDialog();
    }
    void OnOK() override {
        chosen = static_cast<int>(SendDlgItemMessageA(Handle(), IDC_BACKUP_LIST, LB_GETCURSEL, 0, 0));
        EndDialog(IDOK);
    }

private:
    const std::vector<std::string>& choices_;
};

} // namespace

std::optional<std::string> CCollectionDialogs::ChooseCollectionToExport() {
    framework::FileDialogOptions options;
    options.owner = app_.GetMainHandle();
    options.title = framework::LoadResourceString(app_.Instance(), IDS_EXPORT_ALL_TITLE);
    options.filter = framework::LoadResourceString(app_.Instance(), IDS_COLLECTION_FILTER);
    options.defaultExtension = "qvlx";
    options.fileName = "Keysets";
    return framework::ChooseFileToSave(options);
}

std::optional<std::string> CCollectionDialogs::ChooseKeysetsToImport() {
    framework::FileDialogOptions options;
    options.owner = app_.GetMainHandle();
    options.title = framework::LoadResourceString(app_.Instance(), IDS_IMPORT_KEYSETS_TITLE);
    options.filter = framework::LoadResourceString(app_.Instance(), IDS_IMPORT_KEYSETS_FILTER);
    return framework::ChooseFileToOpen(options);
}

std::optional<ConflictAnswer> CCollectionDialogs::AskConflict(const std::string& name) {
    ConflictDialog dialog(app_.Instance(), framework::FormatResourceString(app_.Instance(), IDS_CONFLICT_TEXT, {name}));
    if (dialog.DoModal(app_.GetMainHandle()) != IDOK)
        return std::nullopt;
    return dialog.answer;
}

std::optional<std::size_t> CCollectionDialogs::ChooseBackup(const std::vector<std::string>& choices) {
    RestoreDialog dialog(app_.Instance(), choices);
    if (dialog.DoModal(app_.GetMainHandle()) != IDOK || dialog.chosen < 0)
        return std::nullopt;
    return static_cast<std::size_t>(dialog.chosen);
}

bool CCollectionDialogs::AskYesNo(unsigned stringId, const std::string& argument) {
    return app_.Boxes().Ask(framework::FormatResourceString(app_.Instance(), stringId, {argument}));
}

} // namespace qvl
