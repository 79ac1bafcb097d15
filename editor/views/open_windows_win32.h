// The system's top-level windows for the Window Rule dialog: each with its program's file name,
// title, class, whether it is visible and whether it is one of the editor's own.
#pragma once

#include "editor/app/open_windows.h"

namespace qvl {

class Win32OpenWindows final : public OpenWindows {
public:
    std::vector<OpenWindow> List() override;
};

} // namespace qvl
