// The editor's help, carried in the program as one text: each topic starts with a line "# Title";
// the lines under it are its text. Lines that follow each other flow into one paragraph (the source
// can be wrapped as it likes); a blank line ends a paragraph, and a line starting with "- " or "1. " is an
// item of a list, on a line of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qvl {

struct HelpTopic {
    std::string title;
    std::string text; // paragraphs and list items separated by CR LF, ready for a multi-line edit
};

std::vector<HelpTopic> ParseHelpTopics(std::string_view source);

} // namespace qvl
