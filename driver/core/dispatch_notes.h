// What the dispatcher tells the on-screen note, on the device's thread: the keyset it chose, each time
// it chooses (the same one again, too: the listener tells a change), each action it sent, and that it
// reloaded the keysets because the editor saved (when the note settings are read again).
#pragma once

#include "model/keyset_record.h"
#include "model/steps.h"

#include <string>

namespace qvl {

class DispatchNotes {
public:
    DispatchNotes() = default;
    DispatchNotes(const DispatchNotes&) = delete;
    DispatchNotes& operator=(const DispatchNotes&) = delete;
    virtual void KeysetChosen(const std::string& name) = 0;
    // `steps`: what the press sent in its keystroke's place (null: the keystroke).
    virtual void ActionSent(int bank, int control, const ControlAssignment& assignment, int magnitude,
                            const Steps* steps) = 0;
    virtual void KeysetsReloaded() = 0;

protected:
    ~DispatchNotes() = default;
};

} // namespace qvl
