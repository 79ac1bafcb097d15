#include "editor/app/help_topics.h"

namespace qvl {

namespace {

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

} // namespace

std::vector<HelpTopic> ParseHelpTopics(std::string_view source) {
    std::vector<HelpTopic> topics;
    bool inParagraph = false; // the last line written continues with the next text line
    bool blankBefore = false;
    while (!source.empty()) {
        const std::size_t end = source.find('\n');
        const std::string_view line = Trimmed(source.substr(0, end));
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);

        if (line.substr(0, 2) == "# ") {
            topics.push_back(HelpTopic{std::string(line.substr(2)), std::string()});
            inParagraph = blankBefore = false;
            continue;
        }
        if (topics.empty())
            continue; // text before the first topic has no place
        std::string& text = topics.back().text;
        if (line.empty()) {
            blankBefore = !text.empty();
            inParagraph = false;
            continue;
        }
        const bool item = line.substr(0, 2) == "- " ||
                          (line.size() > 2 && line[0] >= '1' && line[0] <= '9' && line.substr(1, 2) == ". ");
        if (inParagraph && !item) {
            text += ' ';
        } else if (!text.empty()) {
            text += blankBefore ? "\r\n\r\n" : "\r\n";
        }
        text += line;
        inParagraph = true;
        blankBefore = false;
    }
    return topics;
}

} // namespace qvl
