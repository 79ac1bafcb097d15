// The panel's stores into the registry: each changed assignment is kept there at once and the other
// program is told through keysetsChanged.
#pragma once

#include "editor/views/assignment_form.h"
#include "model/keyset_registry.h"

namespace qvl {

class RegistryAssignmentSink final : public AssignmentSink {
public:
    RegistryAssignmentSink(CKeysetStore& store, KeysetStorage storage) : store_(store), storage_(storage) {}

    void Store(int index, int bank, int control) override;

private:
    CKeysetStore& store_;
    KeysetStorage storage_;
};

} // namespace qvl
