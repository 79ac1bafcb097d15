#include "model/replace_file.h"

#include <cstdio>

namespace qvl {

// A POSIX rename replaces the target atomically.
bool ReplaceFileWith(const char* source, const char* target) {
    return std::rename(source, target) == 0;
}

} // namespace qvl
