// Target tracking: the keyset of the program that owns the window in front.
#include "driver/core/control_dispatcher.h"

#include <cstring>
#include <string>
#include <vector>

namespace qvl {

void CControlDispatcher::TrackForeground() {
    const WindowId foreground = desktop_.ForegroundWindow();
    if (foreground == lastForeground && !reselect_ && store_.Shared().GetKeysetsChanged() == 0)
        return;
    reselect_ = false;
    lastForeground = foreground;
    std::uint32_t processId = 0;
    const std::uint32_t threadId = desktop_.WindowThreadProcess(foreground, processId);

    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    processes_.GetProcessList(names, ids);
    const std::size_t processCount = names.size() < ids.size() ? names.size() : ids.size();
    // A program is a keyset's when their names are one by the rule of keyset names (the editor names
    // keysets after file titles in lower case; process names come in the case the system reports).
    for (std::string& name : names)
        name = textCase_.Fold(name);
    const std::string editorName = textCase_.Fold(kEditorProcessName);

    editorForeground = 0;
    testDialogForeground = 0;
    // Keysets outside, processes inside: with no keysets at all even the editor goes unrecognised,
    // and of two keysets with one name the first wins.
    bool matched = false;
    for (int k = 0; k < store_.GetCount() && !matched; ++k) {
        const std::string keyset = textCase_.Fold(store_.GetName(k));
        for (std::size_t i = 0; i < processCount && !matched; ++i) {
            if (ids[i] != processId)
                continue;
            if (names[i] == editorName) {
                // The editor is in front: the selection stays with the keyset it shows.
                editorForeground = 1;
                char text[kWindowTextSize];
                desktop_.WindowText(foreground, text, sizeof text);
                testDialogForeground = std::strcmp(text, kTestDialogTitle) == 0 ? 1 : 0;
                matched = true;
            } else if (names[i] == keyset) {
                SelectKeyset(k);
                matched = true;
            }
        }
    }
    if (!matched)
        SelectKeyset(0);
    foregroundThreadId = threadId;
    if (observer_ != nullptr) {
        const int current = store_.GetCurrentIndex();
        observer_->ForegroundTracked(current, store_.GetName(current), editorForeground != 0,
                                     testDialogForeground != 0);
    }
}

} // namespace qvl
