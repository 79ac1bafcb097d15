// The device panel's pictures as buttons. A latch button stays drawn pressed while it is latched,
// even when the focus moves elsewhere: the selected control and the OPTION and SHIFT latches show so.
// The LED indicator shows the dark or the lit LED and cannot be clicked: the LED follows the device.
#pragma once

#include "framework/bitmap_button.h"

namespace qvl {

class CLatchButton : public framework::BitmapButton {
public:
    void SetLatched(int latched);
    void ToggleLatched() { SetLatched(latched ? 0 : 1); }
    int GetLatched() const { return latched; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int latched = 0;
};

class CLedButton : public framework::BitmapButton {
public:
    // Show the lit picture ("LEDBTN2U") or the dark one ("LEDBTN1U").
    void SetLit(HINSTANCE instance, bool lit, int dpi);
    bool IsLit() const { return lit_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool lit_ = false;
};

} // namespace qvl
