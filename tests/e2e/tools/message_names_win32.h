// Names for the window messages the tools log ("WM_KEYDOWN"), so logs and scenarios read alike.
#pragma once

#include <windows.h>

#include <string>

namespace qvl::e2e {

// The message's name, or its number in hex for one the tools do not name.
std::string MessageName(UINT message);

// The message a name stands for: a name from the list above, or a number (decimal or 0x hex).
// 0 when the name is unknown.
UINT MessageFromName(const std::string& name);

} // namespace qvl::e2e
