// Moves values between a dialog's members and its controls, in one direction per pass: the dialog
// lists its members once in DoDataExchange and UpdateData runs that list either way.
#pragma once

#include <windows.h>

#include <string>

namespace qvl::framework {

class Control;

class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    DataExchange(const DataExchange&) = delete;
    DataExchange& operator=(const DataExchange&) = delete;

    // True: controls to members; false: members to controls.
    bool Saving() const { return saving_; }
    HWND Dialog() const { return dialog_; }

    // The text of control `id`.
    void Text(int id, std::string& value);
    // A check box: 0 clear, 1 checked, 2 indeterminate.
    void Check(int id, int& value);
    // The selected item of a combo box, -1 for none. Setting an index the list does not have
    // selects nothing.
    void ListIndex(int id, int& value);
    // Attach `control` to control `id` the first time (in either direction).
    void Attach(int id, Control& control);

private:
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    bool saving_;
};

} // namespace qvl::framework
