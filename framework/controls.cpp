#include "framework/controls.h"

#include <commctrl.h>

#include <vector>

namespace qvl::framework {

void Edit::GetSelection(int& start, int& end) const {
    DWORD first = 0;
    DWORD after = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&after));
    start = static_cast<int>(first);
    end = static_cast<int>(after);
}

void Edit::SetSelection(int start, int end) {
    Send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void Edit::SetReadOnly(bool readOnly) {
    Send(EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

void Edit::LimitText(int characters) {
    Send(EM_LIMITTEXT, static_cast<WPARAM>(characters));
}

int ComboBox::AddString(const std::string& text) {
    const LRESULT index = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1;
}

int ComboBox::GetCount() const {
    const LRESULT count = Send(CB_GETCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

int ComboBox::GetCurSel() const {
    return Handle() != nullptr ? static_cast<int>(Send(CB_GETCURSEL)) : -1;
}

bool ComboBox::SetCurSel(int index) {
    const LRESULT result = Send(CB_SETCURSEL, static_cast<WPARAM>(index));
    return index == -1 || result == index;
}

std::string ComboBox::GetItemText(int index) const {
    const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR || length < 0)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    const LRESULT copied = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return copied > 0 ? std::string(text.data(), static_cast<std::size_t>(copied)) : std::string();
}

int Button::GetCheck() const {
    return static_cast<int>(Send(BM_GETCHECK));
}

void Button::SetCheck(int state) {
    Send(BM_SETCHECK, static_cast<WPARAM>(state));
}

bool Button::GetState() const {
    return (Send(BM_GETSTATE) & BST_PUSHED) != 0;
}

void Button::SetState(bool pushed) {
    Send(BM_SETSTATE, pushed ? TRUE : FALSE);
}

void Trackbar::SetRange(int minimum, int maximum, bool redraw) {
    Send(TBM_SETRANGEMIN, FALSE, minimum);
    Send(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

int Trackbar::GetRangeMin() const {
    return static_cast<int>(Send(TBM_GETRANGEMIN));
}

int Trackbar::GetRangeMax() const {
    return static_cast<int>(Send(TBM_GETRANGEMAX));
}

void Trackbar::SetPos(int position, bool redraw) {
    Send(TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

int Trackbar::GetPos() const {
    return static_cast<int>(Send(TBM_GETPOS));
}

void HotKey::SetHotKey(std::uint16_t virtualKey, std::uint16_t modifiers) {
    Send(HKM_SETHOTKEY, static_cast<WPARAM>(((modifiers & 0xFF) << 8) | (virtualKey & 0xFF)));
}

bool HotKey::GetHotKey(std::uint16_t& virtualKey, std::uint16_t& modifiers) const {
    const LRESULT key = Send(HKM_GETHOTKEY);
    virtualKey = static_cast<std::uint16_t>(key & 0xFF);
    modifiers = static_cast<std::uint16_t>((key >> 8) & 0xFF);
    return (key & 0xFFFF) != 0;
}

void HotKey::SetRules(std::uint16_t invalidCombinations, std::uint16_t replacementModifiers) {
    Send(HKM_SETRULES, invalidCombinations, MAKELPARAM(replacementModifiers, 0));
}

} // namespace qvl::framework
