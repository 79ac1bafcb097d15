// What the Window Rule dialog holds and does, without its window: the current keyset's rule in three
// fields, the open windows it offers (visible, titled, not the editor's own), a pick that fills the
// fields from one of them, and OK, which stores the rule through the keyset commands.
#pragma once

#include "editor/app/open_windows.h"
#include "model/store_result.h"
#include "model/window_rule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

class KeysetCommands;

class WindowRuleForm {
public:
    WindowRuleForm(KeysetCommands& commands, OpenWindows& windows) : commands_(commands), windows_(windows) {}

    // Take the current keyset's rule and list the open windows; false when the current keyset is
    // "Default" (it serves what no rule serves and has none) or there is no list.
    bool Begin();
    // The windows offered, in the system's order.
    const std::vector<OpenWindow>& Rows() const { return rows_; }
    // A row as the list shows it: program, title and class separated by tabs.
    static std::string RowText(const OpenWindow& window);
    // Fill the three fields from row `row` (its program without ".exe"); nothing for a row not there.
    void Pick(std::size_t row);
    // Store the fields, each cut to the longest a rule keeps, as the rule of the keyset the form was
    // begun for, wherever another writer's changes to the list have put it meanwhile: the incremental
    // save writes what differs and tells a failure as every failed save is told. Nothing, and nothing
    // stored, when that keyset is no longer in the list.
    std::optional<StoreResult> Store();
    // The name of the keyset whose rule this is.
    const std::string& KeysetName() const { return name_; }

    WindowRule rule; // the fields, as the dialog shows and reads them

private:
    KeysetCommands& commands_;
    OpenWindows& windows_;
    std::vector<OpenWindow> rows_;
    std::string name_; // the keyset's identity: its place in the list may change while the form is open
};

} // namespace qvl
