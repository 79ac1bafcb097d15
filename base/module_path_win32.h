// Where the running program (or a DLL of it) lives, however long its path is.
#pragma once

#include <windows.h>

#include <string>

namespace qvl {

// The full path of `module` (null: the program's own file); empty when the system gives none.
std::string ModulePath(HMODULE module);

// The folder of `module` with its closing backslash; empty when there is none.
std::string ModuleFolder(HMODULE module);

} // namespace qvl
