// The device panel (form 131), for now a plain form that shows which keyset is current in the
// keyset caption (edit 1007, string 61258 "Current Keyset: "%1"") and selects keysets from the
// Keysets menu. The picture of the device and the assignment controls come on top of it.
#pragma once

#include "framework/form_view.h"

#include <string>

namespace qvl {

class CEditorApp;
class CQVLsetDoc;

class CQVLsetView : public framework::FormView {
public:
    explicit CQVLsetView(CEditorApp& app);

    void OnInitialUpdate() override;
    void OnUpdate(framework::View* sender) override;

    // Store the assignment shown in the editing controls; the application's idle work calls it when
    // an edit asked for a save.
    void SaveAssignment();
    // Keysets menu command 2000 + i: make keyset i current and show it.
    void SelectKeyset(int index);

    CQVLsetDoc* GetDocument() const;

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;

private:
    void UpdateKeysetCaption();

    CEditorApp& app_;
    std::string m_strKeysetCaption;
};

} // namespace qvl
