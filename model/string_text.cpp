#include "model/string_text.h"

#include <vector>

namespace qvl {

namespace {
// The longest text a string-table entry holds, and its terminating NUL.
constexpr std::size_t kLongestText = 4095 + 1;
} // namespace

std::string LoadText(const StringSource& strings, unsigned id) {
    // A source cuts a text that does not fit and says only how much it copied: grow until the text
    // leaves room.
    for (std::size_t size = 256;; size *= 2) {
        std::vector<char> buffer(size > kLongestText ? kLongestText : size, '\0');
        const std::size_t length = strings.Load(id, buffer.data(), buffer.size());
        if (length + 1 < buffer.size() || buffer.size() == kLongestText)
            return std::string(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
    }
}

} // namespace qvl
