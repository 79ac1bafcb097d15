#include "editor/views/editor_windows.h"

#include "editor/app/editor_app.h"
#include "editor/app/qvlset_doc.h"
#include "editor/views/about_dlg.h"
#include "editor/views/help_window.h"
#include "editor/views/keyset_overview_dlg.h"
#include "editor/views/prefs_dialog.h"
#include "editor/views/qvlset_view.h"
#include "editor/views/test_dlg.h"
#include "editor/views/window_rule_dlg.h"

namespace qvl {

CEditorWindows::CEditorWindows(CEditorApp& app) : app_(app) {}

CEditorWindows::~CEditorWindows() {
    CloseAll();
}

std::unique_ptr<framework::View> CEditorWindows::CreatePanel() {
    return std::make_unique<CQVLsetView>(app_, *this);
}

bool CEditorWindows::CompletePanel(framework::View& panel) {
    return static_cast<CQVLsetView&>(panel).MakeLaterControls();
}

void CEditorWindows::SavePanelAssignment(framework::View& panel) {
    // The panel this made for the document.
    static_cast<CQVLsetView&>(panel).SaveAssignment();
}

void CEditorWindows::DisplayKeyset(CQVLsetView& view) {
    const CQVLsetDoc* document = view.GetDocument();
    const CKeysetStore* store = document != nullptr ? document->GetStore() : nullptr;
    std::optional<KeysetRecord> current = store != nullptr ? store->GetCurrentKeyset() : std::nullopt;
    std::unique_ptr<KeysetRecord> copy = current ? std::make_unique<KeysetRecord>(*current) : nullptr;
    const std::string title = store != nullptr ? document->Commands().KeysetCaption(store->GetCurrentIndex()) : "";
    const KeysetSteps steps = store != nullptr ? store->GetSteps(store->GetCurrentIndex()) : KeysetSteps();
    if (overview_ != nullptr) {
        overview_->SetView(&view);
        overview_->title = title;
        overview_->ShowKeyset(std::move(copy), steps);
        if (IsIconic(overview_->Handle()))
            ShowWindow(overview_->Handle(), SW_RESTORE);
        SetForegroundWindow(overview_->Handle());
        SetFocus(overview_->Handle());
        return;
    }
    if (copy == nullptr)
        return;
    overview_ = std::make_unique<CKeysetOverviewDlg>(app_, &view, [this] { overview_.reset(); });
    overview_->title = title;
    if (!overview_->Create(std::move(copy), steps))
        overview_.reset();
}

void CEditorWindows::ShowHelp() {
    if (help_ != nullptr) {
        help_->Activate();
        return;
    }
    help_ = std::make_unique<CHelpWindow>(app_.Instance(), [this] { help_.reset(); });
    if (!help_->Open())
        help_.reset();
}

void CEditorWindows::RunTest() {
    RunTestDialog(app_);
}

void CEditorWindows::RunAbout() {
    RunAboutDialog(app_.Instance(), app_.GetMainHandle());
}

void CEditorWindows::RunPreferences() {
    CPrefsDialog dialog(app_);
    dialog.DoModal(app_.GetMainHandle());
}

void CEditorWindows::RunWindowRule(KeysetCommands& commands) {
    RunWindowRuleDialog(app_, commands);
}

void CEditorWindows::CloseAll() {
    // Destroying the objects destroys their windows without calling back here.
    overview_.reset();
    help_.reset();
}

} // namespace qvl
