// The system's Open and Save As dialogs for one file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qvl::framework {

struct FileDialogOptions {
    HWND owner = nullptr;         // the window it is opened from (ModalOwner gives its owner)
    std::string title;            // empty: the system's own ("Open", "Save As")
    std::string filter;           // "Text (*.x)|*.x||"
    std::string defaultExtension; // added when the user types a name without one ("qvl")
    std::string fileName;         // proposed name
};

// The chosen file, which exists; nothing when the user cancelled. The read-only check box is hidden.
std::optional<std::string> ChooseFileToOpen(const FileDialogOptions& options);
// The chosen file name; the dialog asks before an existing file is replaced.
std::optional<std::string> ChooseFileToSave(const FileDialogOptions& options);

} // namespace qvl::framework
