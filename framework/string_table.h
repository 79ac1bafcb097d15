// Texts from the program's string table, and string-table patterns filled with "%1"-style arguments.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace qvl::framework {

// The string `id` of the module's string table; empty when there is none.
std::string LoadResourceString(HINSTANCE instance, UINT id);

// The string `id` with "%1" to "%9" replaced by `arguments` (see FormatString).
std::string FormatResourceString(HINSTANCE instance, UINT id, std::initializer_list<std::string_view> arguments);

} // namespace qvl::framework
