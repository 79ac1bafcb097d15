// Letters A to Z only: enough for the host tests' names; the programs use the system's rules.
#pragma once

#include "model/text_case.h"

namespace qvl {

class AsciiTextCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override {
        std::string lower = text;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }
    std::string Fold(const std::string& name) const override {
        std::string upper = name;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return upper;
    }
};

// One rule for tests that have no other at hand.
inline const AsciiTextCase& AsciiCase() {
    static const AsciiTextCase rule;
    return rule;
}

} // namespace qvl
