#include "appbase/module_strings_win32.h"

#include <climits>

namespace qvl {

std::size_t ModuleStrings::Load(unsigned id, char* buffer, std::size_t size) const {
    if (size == 0)
        return 0;
    const int capacity = size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    const int length = LoadStringA(instance_, id, buffer, capacity);
    if (length <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<std::size_t>(length);
}

} // namespace qvl
