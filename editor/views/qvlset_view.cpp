#include "editor/views/qvlset_view.h"

#include "editor/app/editor_app.h"
#include "editor/app/qvlset_doc.h"
#include "editor/res/resource.h"
#include "editor/views/editor_windows.h"
#include "framework/frame_window.h"
#include "framework/string_table.h"

namespace qvl {

CQVLsetView::CQVLsetView(CEditorApp& app) : FormView(IDD_QVLSET_FORM), app_(app) {
    OnCommandRange(ID_KEYSET_FIRST, ID_KEYSET_LAST,
                   [this](unsigned id) { SelectKeyset(static_cast<int>(id - ID_KEYSET_FIRST)); });
    OnUpdateCommandRange(ID_KEYSET_FIRST, ID_KEYSET_LAST, [this](framework::CommandUpdate& u) {
        u.SetCheck(static_cast<int>(u.Id() - ID_KEYSET_FIRST) == app_.GetCurrentKeysetIndex());
    });
    OnCommand(ID_DISPLAY_KEYSET, [this] { app_.Windows().DisplayKeyset(*this); });
    OnCommand(ID_TEST, [this] { app_.Windows().RunTest(); });
    OnCommand(ID_HELP_FINDER, [this] { app_.Windows().ShowHelp(); });
}

CQVLsetDoc* CQVLsetView::GetDocument() const {
    return static_cast<CQVLsetDoc*>(View::GetDocument());
}

void CQVLsetView::OnInitialUpdate() {
    FormView::OnInitialUpdate();
    // The driver finds the editor by this exact title.
    if (framework::FrameWindow* frame = GetFrame())
        SetWindowTextA(frame->Handle(), app_.Title().c_str());
    if (CQVLsetDoc* document = GetDocument())
        document->RebuildKeysetsMenu();
}

void CQVLsetView::OnUpdate(framework::View*) {
    UpdateKeysetCaption();
}

void CQVLsetView::SaveAssignment() {
    // The panel has no editing controls yet: nothing is shown that could need storing.
}

void CQVLsetView::SelectKeyset(int index) {
    CQVLsetDoc* document = GetDocument();
    if (document == nullptr || document->GetStore() == nullptr || index < 0 ||
        index >= document->GetStore()->GetCount())
        return;
    document->SetCurrent(index);
    UpdateKeysetCaption();
}

void CQVLsetView::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Text(IDC_KEYSET_CAPTION, m_strKeysetCaption);
}

void CQVLsetView::UpdateKeysetCaption() {
    const CQVLsetDoc* document = GetDocument();
    const std::string name =
        document != nullptr && document->GetStore() != nullptr ? document->GetStore()->GetCurrentName() : std::string();
    m_strKeysetCaption = framework::FormatResourceString(app_.Instance(), IDS_KEYSET_CAPTION, {name});
    UpdateData(false);
}

} // namespace qvl
