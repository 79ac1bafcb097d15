// Plain text work on file names and file-dialog filters, the same on every system.
#pragma once

#include <string>
#include <string_view>

namespace qvl::framework {

// The file's name without its folder and without its extension: "C:\Audio\WaveEdit.EXE" gives
// "WaveEdit". Both kinds of slash end a folder; only the last dot of the name starts the extension.
std::string FileTitleOf(std::string_view path);

// A filter written as "Text (*.x)|*.x||" in the form the file dialogs take: each "|" becomes a NUL,
// and the result always ends with two NULs, whatever the text ended with.
std::string DialogFilter(std::string_view filter);

// The first file named on a program's command line (without the program's own name, as WinMain
// receives it): a word, or a text in double quotes; words that start with "/" or "-" are options and
// are skipped. Empty when there is none.
std::string FirstFileArgument(std::string_view commandLine);

} // namespace qvl::framework
