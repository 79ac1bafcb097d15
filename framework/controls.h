// Wrappers for the standard controls the editor uses. Each one only adds the control's own
// messages to Control; derive from them to handle the control's messages (a hot-key control that
// notices key releases, a button that stays drawn pressed).
#pragma once

#include "framework/control.h"

#include <cstdint>
#include <string>

namespace qvl::framework {

class Edit : public Control {
public:
    // The selection: first character and the one after the last.
    void GetSelection(int& start, int& end) const;
    void SetSelection(int start, int end);
    void SetReadOnly(bool readOnly);
    void LimitText(int characters);
    // The clipboard operations on the selection, as the Edit menu does them.
    void Cut() { Send(WM_CUT); }
    void Copy() { Send(WM_COPY); }
    void Paste() { Send(WM_PASTE); }
    void Clear() { Send(WM_CLEAR); }
};

// A combo box (drop-down list or with an edit field).
class ComboBox : public Control {
public:
    // The index of the new item (its place in a sorted list), or -1.
    int AddString(const std::string& text);
    void ResetContent() { Send(CB_RESETCONTENT); }
    int GetCount() const;
    // The selected item, -1 when none.
    int GetCurSel() const;
    // Select item `index` (-1: none); false when there is no such item.
    bool SetCurSel(int index);
    std::string GetItemText(int index) const;
};

// Push buttons, check boxes and radio buttons.
class Button : public Control {
public:
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int state);
    // Whether the button is drawn pushed in (BM_SETSTATE), as while the mouse holds it down.
    bool GetState() const;
    void SetState(bool pushed);
};

class Trackbar : public Control {
public:
    void SetRange(int minimum, int maximum, bool redraw = true);
    int GetRangeMin() const;
    int GetRangeMax() const;
    // The trackbar keeps the position within its range.
    void SetPos(int position, bool redraw = true);
    int GetPos() const;
};

// The hot-key control: one key with its modifier flags (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
class HotKey : public Control {
public:
    void SetHotKey(std::uint16_t virtualKey, std::uint16_t modifiers);
    // False (with both 0) when the control holds no key.
    bool GetHotKey(std::uint16_t& virtualKey, std::uint16_t& modifiers) const;
    // Key combinations the control refuses, and the modifiers it uses instead (HKM_SETRULES).
    void SetRules(std::uint16_t invalidCombinations, std::uint16_t replacementModifiers);
};

} // namespace qvl::framework
