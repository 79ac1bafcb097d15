#include "framework/file_dialog.h"

#include "framework/dialog.h"
#include "framework/file_names.h"

#include <commdlg.h>

#include <vector>

namespace qvl::framework {

namespace {

// Long enough for any path the system accepts in the ANSI calls.
constexpr std::size_t kPathBuffer = 4096;

std::optional<std::string> Choose(const FileDialogOptions& options, bool save) {
    const std::string filter = DialogFilter(options.filter);
    std::vector<char> file(kPathBuffer, '\0');
    options.fileName.copy(file.data(), file.size() - 1);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ModalOwner(options.owner);
    dialog.lpstrFilter = options.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
    dialog.lpstrDefExt = options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (save)
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    else
        dialog.Flags |= OFN_FILEMUSTEXIST;

    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen)
        return std::nullopt;
    return std::string(file.data());
}

} // namespace

std::optional<std::string> ChooseFileToOpen(const FileDialogOptions& options) {
    return Choose(options, false);
}

std::optional<std::string> ChooseFileToSave(const FileDialogOptions& options) {
    return Choose(options, true);
}

} // namespace qvl::framework
