#include "editor/app/commands_assignment_sink.h"

namespace qvl {

bool CommandsAssignmentSink::Store(int index, int bank, int control) {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr)
        return false;
    const std::optional<ControlAssignment> assignment = store->GetAssignment(index, bank, control);
    return assignment && commands_.PutAssignment(*assignment, index, bank, control).Done();
}

} // namespace qvl
