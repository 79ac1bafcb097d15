#include "watch_options.h"

#include "tool_args.h"

#include <string_view>

namespace qvl::e2e {

namespace {

bool ParseMilliseconds(const std::string& text, int& value) {
    const std::optional<long long> number = ParseInteger(text);
    if (!number || *number < 1 || *number > 60000)
        return false;
    value = static_cast<int>(*number);
    return true;
}

} // namespace

std::optional<WatchOptions> ParseWatchOptions(int argc, char** argv, std::string& error) {
    WatchOptions options;
    int i = 1;
    while (i < argc) {
        if (std::optional<std::string> value = OptionValue(argc, argv, i, "--log")) {
            options.logPath = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--rule")) {
            std::string why;
            std::optional<WatchRule> rule = ParseWatchRule(*value, why);
            if (!rule) {
                error = "rule " + std::to_string(options.rules.size() + 1) + ": " + why;
                return std::nullopt;
            }
            options.rules.push_back(*rule);
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--settle")) {
            if (!ParseMilliseconds(*value, options.settleMs)) {
                error = "expected --settle MS: " + *value;
                return std::nullopt;
            }
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--poll")) {
            if (!ParseMilliseconds(*value, options.pollMs)) {
                error = "expected --poll MS: " + *value;
                return std::nullopt;
            }
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--stop-event")) {
            options.stopEvent = *value;
        } else if (std::optional<std::string> value = OptionValue(argc, argv, i, "--stop-file")) {
            options.stopFile = *value;
        } else {
            error = "unknown or incomplete option: " + std::string(argv[i]);
            return std::nullopt;
        }
    }
    if (options.logPath.empty()) {
        error = "--log PATH is required";
        return std::nullopt;
    }
    return options;
}

std::optional<std::size_t> ChooseRule(const std::vector<WatchRule>& rules, const std::vector<int>& used,
                                      const DialogInfo& dialog) {
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const int taken = i < used.size() ? used[i] : 0;
        const bool usesLeft = rules[i].times == 0 || taken < rules[i].times;
        if (usesLeft && RuleMatches(rules[i], dialog))
            return i;
    }
    return std::nullopt;
}

} // namespace qvl::e2e
