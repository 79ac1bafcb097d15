// Between the device's thread and the note window: the reader thread turns what the dispatcher chose
// and did into the note's text and leaves it here, waking the window thread only when nothing was
// waiting; the window thread takes the latest text and shows it. A newer text replaces one not yet
// shown, as a new note replaces the shown one.
#pragma once

#include "driver/core/dispatch_notes.h"
#include "model/prefs_storage.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

namespace qvl {

// The window thread's side: woken for a waiting note; asked for the stored settings.
class NoteOutlet {
public:
    NoteOutlet() = default;
    NoteOutlet(const NoteOutlet&) = delete;
    NoteOutlet& operator=(const NoteOutlet&) = delete;
    // From the reader thread: a note waits to be taken. Posts, never waits.
    virtual void NoteWaiting() = 0;
    virtual NoteSettings ReadNoteSettings() = 0;

protected:
    ~NoteOutlet() = default;
};

class CNoteFeed final : public DispatchNotes {
public:
    // `keysetInUse`: the keyset selected at start, which needs no note.
    CNoteFeed(NoteOutlet& outlet, std::string keysetInUse);

    void ReadSettings() { bits_ = NoteSettingsBits(outlet_.ReadNoteSettings()); }
    NoteSettings Settings() const { return NoteSettingsFromBits(bits_.load()); }

    // DispatchNotes, on the reader thread.
    void KeysetChosen(const std::string& name) override;
    void ActionSent(int bank, int control, const ControlAssignment& assignment, int magnitude,
                    const Steps* steps) override;
    void KeysetsReloaded() override { ReadSettings(); }

    // On the window thread: the latest note not yet shown.
    std::optional<std::string> Take();

private:
    void Put(std::string text);

    NoteOutlet& outlet_;
    std::atomic<std::uint32_t> bits_;
    std::string keysetInUse_; // the reader thread's alone
    std::mutex lock_;
    std::optional<std::string> waiting_;
};

} // namespace qvl
