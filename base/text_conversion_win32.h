// Text between the system's UTF-16 and the program's single-byte ANSI code page.
#pragma once

#include <cstddef>
#include <string>

namespace qvl {

// `length` UTF-16 units in the ANSI code page; characters it lacks become its default character.
// Empty when the system cannot convert the text.
std::string Utf16ToAnsi(const char16_t* text, std::size_t length);

} // namespace qvl
