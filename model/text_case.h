// The rules for the names of keysets and programs.
//
// A keyset lives in a registry subkey named after it, and the registry takes two key names for one key
// when they are equal after its own upper-casing, which goes beyond A to Z. Fold gives a name in that
// form, and Same compares by it: it alone decides whether two keyset names are one (the editor's name
// checks, the registry sync) and whether a program's name is a keyset's (the driver's match). Lower
// names a new keyset after its program file ("äudio" for "Äudio.exe").
#pragma once

#include <string>

namespace qvl {

class TextCase {
public:
    TextCase() = default;
    TextCase(const TextCase&) = delete;
    TextCase& operator=(const TextCase&) = delete;
    virtual ~TextCase() = default;
    virtual std::string Lower(const std::string& text) const = 0;
    // Only compared, never shown.
    virtual std::string Fold(const std::string& name) const = 0;
    bool Same(const std::string& a, const std::string& b) const { return Fold(a) == Fold(b); }
};

} // namespace qvl
