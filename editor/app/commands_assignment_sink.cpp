#include "editor/app/commands_assignment_sink.h"

namespace qvl {

void CommandsAssignmentSink::Store(int index, int bank, int control) {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr)
        return;
    if (std::optional<ControlAssignment> assignment = store->GetAssignment(index, bank, control))
        commands_.PutAssignment(*assignment, index, bank, control);
}

} // namespace qvl
