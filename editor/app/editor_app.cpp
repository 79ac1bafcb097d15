#include "editor/app/editor_app.h"

#include "base/module_path_win32.h"
#include "base/system_error_text_win32.h"

#include "editor/app/main_frame.h"
#include "editor/app/preferences.h"
#include "editor/app/qvlset_doc.h"
#include "editor/res/resource.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/file_names.h"
#include "framework/string_table.h"
#include "model/prefs_storage.h"
#include "model/shared_names.h"

namespace qvl {

namespace {

// A keyset name shown as a menu item: "&" would underline the next letter instead of showing.
std::string MenuText(const std::string& name) {
    std::string text;
    for (char c : name) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

} // namespace

int OverviewFontHeight(const std::string& osName) {
    return osName == "WINNT" ? 10 : 11;
}

CEditorApp::CEditorApp(HINSTANCE instance, std::string commandLine)
    : CQVLApp(instance), title_(framework::LoadResourceString(instance, IDS_TITLE)),
      commandLine_(std::move(commandLine)), boxes_(title_, [this] { return GetMainHandle(); }), strings_(instance) {
    OnCommand(ID_PREFERENCES, [this] { OnPreferences(); });
    OnCommand(ID_APP_ABOUT, [this] {
        if (views_ != nullptr)
            views_->RunAbout();
    });
    OnCommand(ID_APP_EXIT, [this] {
        if (HWND main = GetMainHandle())
            PostMessageA(main, WM_CLOSE, 0, 0);
    });
}

CEditorApp::~CEditorApp() {
    template_.reset();
}

bool CEditorApp::InitInstance() {
    DeterminePlatformName();
    // Without a shared block the editor still works for itself; the driver then does not see its
    // current keyset, but a half-made block is never written to.
    if (!CreateSharedInfo() && !GetSharedInfo()->IsMapped())
        CreatePrivateSharedInfo();
    framework::InitCommonControlClasses();
    if (views_ == nullptr)
        return false;

    template_ = std::make_unique<framework::SingleDocTemplate>(IDR_MAINFRAME, std::make_unique<CQVLsetDoc>(*this),
                                                               std::make_unique<CMainFrame>(), views_->CreatePanel());
    if (!template_->OpenNewDocument(*this, title_))
        return false;
    ShowWindow(GetMainHandle(), SW_SHOWNORMAL);
    UpdateWindow(GetMainHandle());
    // The panel has painted the current keyset from a first look at the keysets; its hidden controls
    // and the rest of the keysets come now, before any message of the user's is taken.
    if (!views_->CompletePanel(template_->GetView()))
        return false;
    GetDocument()->FinishLoad();
    // A keyset file given on the command line (dropped on the program, say) is imported as Import
    // Keyset would, question included, into the keysets the document has just loaded.
    const std::string file = framework::FirstFileArgument(commandLine_);
    if (!file.empty())
        GetDocument()->OnOpenDocument(file);

    CreateOverviewFont();
    ReadPrefs();
    return true;
}

int CEditorApp::ExitInstance() {
    // The overview and help windows first: the overview refers to the view.
    if (views_ != nullptr)
        views_->CloseAll();
    // The document and its store go first: the store refers to the shared block.
    SetStore(nullptr);
    template_.reset();
    if (prefs_ != nullptr)
        WritePrefs();
    prefs_.reset();
    overviewFont_.Reset();
    return CQVLApp::ExitInstance();
}

bool CEditorApp::OnIdle(long count) {
    const bool more = CQVLApp::OnIdle(count);
    if (CQVLsetDoc* document = GetDocument())
        document->WriteStartBackup();
    if (pendingSave_ != 0) {
        if (template_ != nullptr && views_ != nullptr)
            views_->SavePanelAssignment(template_->GetView());
        pendingSave_ = 0;
    }
    return more;
}

bool CEditorApp::PreTranslateMessage(MSG& message) {
    if (CMainFrame* frame = GetMainFrame()) {
        if (frame->PreTranslateMessage(message))
            return true;
    }
    return framework::Dialog::PreTranslateModeless(message);
}

void CEditorApp::ReadPrefs() {
    seen_ = ReadPreferences(registry_);
    prefs_ = std::make_unique<Preferences>(seen_);
}

void CEditorApp::RefreshPrefs() {
    if (prefs_ == nullptr)
        return ReadPrefs();
    const Preferences stored = ReadPreferences(registry_);
    *prefs_ = MergePreferences(seen_, *prefs_, stored);
    seen_ = stored;
}

StoreResult CEditorApp::WritePrefs() {
    if (prefs_ == nullptr)
        return StoreResult();
    RefreshPrefs();
    const StoreResult written = WritePreferences(registry_, *prefs_);
    if (written.Done())
        seen_ = *prefs_;
    return written;
}

std::string CEditorApp::StoreFailureReason(const StoreResult& failed) const {
    std::string reason;
    if (failed.status == StoreResult::Status::kNotLocked)
        reason = framework::LoadResourceString(Instance(), IDS_KEYSETS_LOCKED);
    else if (failed.error > 0)
        reason = SystemErrorPhrase(static_cast<unsigned long>(failed.error));
    if (reason.empty())
        reason = framework::FormatResourceString(Instance(), IDS_UNKNOWN_ERROR, {std::to_string(failed.error)});
    return reason;
}

void CEditorApp::TellStoreFailure(unsigned stringId, const StoreResult& failed) {
    const std::string text = framework::FormatResourceString(Instance(), stringId, {StoreFailureReason(failed)});
    boxes_.Show(text.c_str(), nullptr, MessageIcon::kWarning);
}

bool CEditorApp::IsEditorForeground() const {
    // The driver finds the editor by the same title.
    HWND editor = FindWindowA(nullptr, kEditorWindowTitle);
    return editor != nullptr && editor == GetForegroundWindow();
}

void CEditorApp::AppendKeysetMenuItem(const std::string& name) {
    HMENU menu = GetKeysetsMenu();
    if (menu == nullptr)
        return;
    const int count = GetMenuItemCount(menu);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(ID_KEYSET_FIRST + (count > 0 ? count : 0)),
                MenuText(name).c_str());
}

void CEditorApp::ClearKeysetsMenu() {
    HMENU menu = GetKeysetsMenu();
    if (menu == nullptr)
        return;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
}

HMENU CEditorApp::GetKeysetsMenu() const {
    HWND main = GetMainHandle();
    if (main == nullptr)
        return nullptr;
    HMENU edit = GetSubMenu(GetMenu(main), MENU_POS_EDIT);
    return edit != nullptr ? GetSubMenu(edit, MENU_POS_KEYSETS) : nullptr;
}

CQVLsetDoc* CEditorApp::GetDocument() const {
    return template_ != nullptr ? static_cast<CQVLsetDoc*>(&template_->GetDocument()) : nullptr;
}

CMainFrame* CEditorApp::GetMainFrame() const {
    return template_ != nullptr ? static_cast<CMainFrame*>(&template_->GetFrame()) : nullptr;
}

HWND CEditorApp::GetMainHandle() const {
    CMainFrame* frame = GetMainFrame();
    return frame != nullptr ? frame->Handle() : nullptr;
}

std::string CEditorApp::GetModulePath() const {
    return ModulePath(nullptr);
}

void CEditorApp::CreateOverviewFont() {
    LOGFONTA font = {};
    // The height is in pixels at 96 DPI, like the overview's pictures, and grows with them.
    font.lfHeight = framework::ScaleForDpi(OverviewFontHeight(GetOSName()), framework::ScreenDpi());
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynA(font.lfFaceName, "VID_Edod", LF_FACESIZE);
    overviewFont_.Reset(CreateFontIndirectA(&font));
}

void CEditorApp::OnPreferences() {
    RefreshPrefs();
    if (views_ != nullptr)
        views_->RunPreferences();
}

} // namespace qvl
