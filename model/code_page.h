// The system's single-byte ANSI code page, in which the records keep their texts (names, window titles
// and classes, window rules), beside the UTF-8 of keysets written as text. The Win32 adapter converts
// through the system's code page; the tests bring a code page of their own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvl {

class CodePage {
public:
    CodePage() = default;
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;
    virtual ~CodePage() = default;

    // The UTF-8 of the code page's `bytes`; nothing when the UTF-8 would not give the same bytes back
    // (bytes the code page does not define).
    virtual std::optional<std::string> ToUtf8(std::string_view bytes) const = 0;
    // The code page's bytes of UTF-8 `text`; nothing when the code page lacks one of its characters (or
    // the text is not UTF-8).
    virtual std::optional<std::string> FromUtf8(std::string_view text) const = 0;
};

} // namespace qvl
