// The keyset overview (modeless dialog 163): a whole keyset at a glance, one cell per transport key
// and bank and one wide cell per wheel bank, each telling name, keystroke and click or mouse mode. It
// shows a copy of the keyset taken when it was opened (or last pointed at a keyset), not the store
// itself. Where a control has steps its keystroke line shows them, shortened to the line; their
// characters that the cells' code page lacks show as its default character.
#pragma once

#include "editor/app/overview_text.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "base/unique_handle_win32.h"

#include <functional>
#include <memory>
#include <vector>

namespace qvl {

class CEditorApp;
class CQVLsetView;

// A cell: an edit control of the template that only shows its text. It never takes the focus and
// ignores the right button and mouse moves, so it shows no caret, selection or context menu.
class CKeyCell : public framework::Control, public KeyCellText {
public:
    explicit CKeyCell(const StringSource& strings) : KeyCellText(nullptr, 0, 0, kTransportLineWidth, strings) {}
    // Build the text and show it; a cell whose assignment has neither keystroke nor click keeps its
    // text (empty on a fresh window).
    virtual void Compose();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CWheelCell : public CKeyCell {
public:
    using CKeyCell::CKeyCell;
    void Compose() override;
};

class CKeysetOverviewDlg : public framework::Dialog {
public:
    // `onGone` is called once the window has been destroyed; it may delete this object.
    CKeysetOverviewDlg(CEditorApp& app, CQVLsetView* view, std::function<void()> onGone);
    ~CKeysetOverviewDlg() override;

    // Take `copy` (and its steps) and show the window, without owner. False when the window could not
    // be made.
    bool Create(std::unique_ptr<KeysetRecord> copy, const KeysetSteps& steps);
    // Show another copy in the existing window: the title and every cell are made again.
    void ShowKeyset(std::unique_ptr<KeysetRecord> copy, const KeysetSteps& steps);
    void SetView(CQVLsetView* view) { view_ = view; }
    CQVLsetView* View() const { return view_; }

    // The window's title from the next Create or ShowKeyset on: the keyset's name with its window rule;
    // empty: the name alone.
    std::string title;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFinalDestroy() override;

private:
    void ComposeAll();
    void ReleaseCells();

    CEditorApp& app_;
    CQVLsetView* view_;
    std::unique_ptr<KeysetRecord> keyset;
    KeysetSteps steps_;                            // the copy's steps, which the cells show
    std::vector<std::unique_ptr<CKeyCell>> cells_; // 20 transport cells by row, then the two wheel cells
    GdiObjectHandle background_;
    GdiObjectHandle cellBackground_;
    framework::StaticPictures pictures_; // the controls' and the wheel's pictures, drawn for the DPI
    std::function<void()> onGone_;
};

} // namespace qvl
