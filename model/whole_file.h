// A file read or written whole. Writing goes to a temporary name beside the target and is put in its
// place only when every byte reached the disk, so a failed write leaves whatever stood there before;
// reading never takes more than a limit the caller names, so a huge file cannot exhaust memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvl {

struct WholeFileResult {
    bool done = false;
    int error = 0; // the C library's errno of the failure; 0 when none is known
};

// Write `bytes` as the file `path`, replacing it only when complete.
WholeFileResult WriteFileReplacing(const std::string& path, std::string_view bytes);

// Read the file `path` into `bytes`; a file longer than `limit` is read up to `limit` + 1 bytes, so the
// caller sees that it was too long. `bytes` is untouched when the file could not be opened or read.
WholeFileResult ReadFileBounded(const std::string& path, std::size_t limit, std::string& bytes);

} // namespace qvl
