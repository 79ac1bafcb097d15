#include "probe_options.h"

#include "tool_args.h"

#include <string_view>

namespace qvl::e2e {

namespace {

std::optional<ProbeRect> ParseRect(std::string_view text) {
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',') : text.size();
        if (comma == std::string_view::npos)
            return std::nullopt;
        const std::optional<long long> value = ParseInteger(text.substr(0, comma));
        if (!value || *value < -30000 || *value > 30000)
            return std::nullopt;
        values[i] = static_cast<int>(*value);
        text.remove_prefix(i < 3 ? comma + 1 : comma);
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return ProbeRect{values[0], values[1], values[2], values[3]};
}

// "CLASS:TITLE" or "CLASS:TITLE:X,Y,W,H"; the title may itself hold colons.
std::optional<ChildOption> ParseChild(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    ChildOption child;
    child.className = std::string(text.substr(0, colon));
    std::string_view title = text.substr(colon + 1);
    const std::size_t last = title.rfind(':');
    if (last != std::string_view::npos) {
        if (std::optional<ProbeRect> rect = ParseRect(title.substr(last + 1))) {
            child.rect = rect;
            title = title.substr(0, last);
        }
    }
    child.title = std::string(title);
    return child;
}

std::vector<std::string> SplitMenuItems(std::string_view text) {
    std::vector<std::string> items;
    for (;;) {
        const std::size_t bar = text.find('|');
        items.emplace_back(text.substr(0, bar));
        if (bar == std::string_view::npos)
            return items;
        text.remove_prefix(bar + 1);
    }
}

} // namespace

std::optional<ProbeOptions> ParseProbeOptions(int argc, char** argv, std::string& error) {
    ProbeOptions options;
    int i = 1;
    while (i < argc) {
        const std::string_view arg = argv[i];
        if (std::optional<std::string> value = OptionValue(argc, argv, i, "--log")) {
            options.logPath = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--title")) {
            options.title = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--class")) {
            options.className = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--rect")) {
            std::optional<ProbeRect> rect = ParseRect(*value);
            if (!rect) {
                error = "expected --rect X,Y,W,H: " + *value;
                return std::nullopt;
            }
            options.rect = *rect;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--child")) {
            std::optional<ChildOption> child = ParseChild(*value);
            if (!child) {
                error = "expected --child CLASS:TITLE[:X,Y,W,H]: " + *value;
                return std::nullopt;
            }
            options.children.push_back(*child);
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--focus")) {
            const std::optional<long long> focus = ParseInteger(*value);
            if (!focus || *focus < 0 || *focus > 1000) {
                error = "expected --focus N: " + *value;
                return std::nullopt;
            }
            options.focus = static_cast<int>(*focus);
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--stop-event")) {
            options.stopEvent = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--stop-file")) {
            options.stopFile = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--menu")) {
            options.menuItems = SplitMenuItems(*value);
        } else if (arg == "--moves") {
            options.logMoves = true;
            ++i;
        } else if (arg == "--no-hooks") {
            options.hooks = false;
            ++i;
        } else {
            error = "unknown or incomplete option: " + std::string(arg);
            return std::nullopt;
        }
    }
    if (options.logPath.empty()) {
        error = "--log PATH is required";
        return std::nullopt;
    }
    if (options.focus > static_cast<int>(options.children.size())) {
        error = "--focus names a child that is not there";
        return std::nullopt;
    }
    return options;
}

ProbeRect DefaultChildRect(int index) {
    return ProbeRect{10, 10 + 40 * index, 160, 30};
}

} // namespace qvl::e2e
