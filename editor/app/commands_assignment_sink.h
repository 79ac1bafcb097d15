// The panel's stores: each changed assignment goes through the keyset commands, which write that one
// value (or the whole list while a pasted keyset still waits for its save) and raise keysetsChanged.
#pragma once

#include "editor/app/keyset_commands.h"
#include "editor/app/assignment_form.h"

namespace qvl {

class CommandsAssignmentSink final : public AssignmentSink {
public:
    explicit CommandsAssignmentSink(KeysetCommands& commands) : commands_(commands) {}

    bool Store(int index, int bank, int control) override;

private:
    KeysetCommands& commands_;
};

} // namespace qvl
