#include "driver/core/note_feed.h"

#include "driver/core/note_text.h"

#include <utility>

namespace qvl {

CNoteFeed::CNoteFeed(NoteOutlet& outlet, std::string keysetInUse)
    : outlet_(outlet), bits_(NoteSettingsBits(NoteSettings())), keysetInUse_(std::move(keysetInUse)) {}

void CNoteFeed::KeysetChosen(const std::string& name) {
    // Followed while the note is off too, so that turning it on shows no stale change.
    if (name == keysetInUse_)
        return;
    keysetInUse_ = name;
    if (Settings().keyset)
        Put(name);
}

void CNoteFeed::ActionSent(int bank, int control, const ControlAssignment& assignment, int magnitude,
                           const Steps* steps) {
    if (!Settings().actions)
        return;
    std::string text = ActionNoteText(bank, control, assignment, magnitude, steps);
    if (!text.empty())
        Put(std::move(text));
}

void CNoteFeed::Put(std::string text) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        wake = !waiting_.has_value();
        waiting_ = std::move(text);
    }
    if (wake)
        outlet_.NoteWaiting();
}

std::optional<std::string> CNoteFeed::Take() {
    std::lock_guard<std::mutex> hold(lock_);
    return std::exchange(waiting_, std::nullopt);
}

} // namespace qvl
