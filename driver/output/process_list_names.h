// Process names as the two ways of listing processes deliver them, made alike: a program's file name
// without folder and extension, in single-byte characters of the system's code page.
#pragma once

#include <cstddef>
#include <string>

namespace qvl {

// The name of a process from the program file that a process snapshot reports: the part after the
// last backslash without its last four characters (the extension with its dot). A name with ".vdk" in
// it loses four characters more, so "ab.vdk.exe" gives "ab". A name too short for what is dropped
// gives an empty name.
std::string ToolhelpProcessName(const std::string& exeFile);

// Converts the UTF-16 names of the performance data into the program's single-byte code page.
class AnsiCodePage {
public:
    AnsiCodePage() = default;
    AnsiCodePage(const AnsiCodePage&) = delete;
    AnsiCodePage& operator=(const AnsiCodePage&) = delete;
    virtual ~AnsiCodePage() = default;
    virtual std::string FromUtf16(const char16_t* text, std::size_t length) const = 0;
};

} // namespace qvl
