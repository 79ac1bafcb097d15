// The device panel's controls that its first paint does not need: the ones hidden until a wheel or a
// captured click is selected (the wheel's emulation list, the capture check box, the note on stored
// steps that cannot be read, the wheel's speed with its labels). Leaving them out of the form's template and making
// them once the panel has painted takes about a fifth of the form's start under Wine, where a drop-down list alone is a
// top-level window of its own. They are the last controls of the form, so made in this order they
// take the tab order and the places the template would give them.
#pragma once

#include <windows.h>

namespace qvl {

// Make the controls hidden, in the form's font, placed in dialog units as the template would; false
// when one could not be made (those made stay).
bool MakeLaterPanelControls(HWND form, HINSTANCE instance);

// Make the steps controls ("Steps:", "On release:", "Repeat while held") as wide windows, shown, in the
// form's font, in the tab order after `after`; false when one could not be made (those made stay).
// The first paint shows them, so they are made with the form.
bool MakeStepsControls(HWND form, HINSTANCE instance, HWND after);

} // namespace qvl
