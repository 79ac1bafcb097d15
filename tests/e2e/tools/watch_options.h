// The command line of qvl_watch:
//   qvl_watch --log PATH [--rule RULE]... [--settle MS] [--poll MS]
//             [--stop-event NAME] [--stop-file PATH]
// Rules are tried in order for every dialog (watch_rules.h); --settle is how long a dialog must have
// been visible before the watcher reads and answers it (its texts are set by then), --poll how often
// the watcher looks for dialogs.
#pragma once

#include "watch_rules.h"

#include <optional>
#include <string>
#include <vector>

namespace qvl::e2e {

struct WatchOptions {
    std::string logPath;
    std::vector<WatchRule> rules;
    int settleMs = 100;
    int pollMs = 25;
    std::string stopEvent;
    std::string stopFile;
};

std::optional<WatchOptions> ParseWatchOptions(int argc, char** argv, std::string& error);

// The first rule that matches the dialog and has uses left (`used[i]` counts the dialogs rule i
// has taken); its index, or nothing.
std::optional<std::size_t> ChooseRule(const std::vector<WatchRule>& rules, const std::vector<int>& used,
                                      const DialogInfo& dialog);

} // namespace qvl::e2e
