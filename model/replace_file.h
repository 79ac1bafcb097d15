// Put a completely written file in the place of another, replacing it if it exists, in one step as far
// as the file system allows, so that readers see either the old file or the new one.
#pragma once

namespace qvl {

// Rename `source` to `target`, replacing `target`. False when it could not be done; both files are
// then as they were.
bool ReplaceFileWith(const char* source, const char* target);

} // namespace qvl
