// qvl_filedlg: shows the system's Open or Save As dialog, as the editor does for keyset files, and
// reports the choice.
//   qvl_filedlg open|save [TITLE]
// Prints "file PATH" and exits 0 when a file was chosen, exits 1 on Cancel, 2 on bad arguments.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (std::strcmp(argv[1], "open") != 0 && std::strcmp(argv[1], "save") != 0)) {
        std::fprintf(stderr, "usage: qvl_filedlg open|save [TITLE]\n");
        return 2;
    }
    const bool open = std::strcmp(argv[1], "open") == 0;
    char file[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = "QVL2 Keysets (*.qvl)\0*.qvl\0All Files (*.*)\0*.*\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrTitle = argc == 3 ? argv[2] : nullptr;
    dialog.lpstrDefExt = "qvl";
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    const BOOL chosen = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    if (!chosen) {
        std::printf("cancel %lu\n", CommDlgExtendedError());
        return 1;
    }
    std::printf("file %s\n", file);
    return 0;
}
