#include "model/replace_file.h"

#include <windows.h>

namespace qvl {

// The C library's rename refuses an existing target on Windows; MoveFileEx replaces it (but not a
// read-only one, which is right: such a file is not ours to overwrite).
bool ReplaceFileWith(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace qvl
