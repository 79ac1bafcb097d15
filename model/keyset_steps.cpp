#include "model/keyset_steps.h"

namespace qvl {

const AssignmentSteps& KeysetSteps::Get(int bank, int control) const {
    static const AssignmentSteps none;
    return IsAssignmentIndex(bank, control) ? steps_[Slot(bank, control)] : none;
}

void KeysetSteps::Set(int bank, int control, const AssignmentSteps& steps) {
    if (IsAssignmentIndex(bank, control))
        steps_[Slot(bank, control)] = steps;
}

bool KeysetSteps::Empty() const {
    for (const AssignmentSteps& steps : steps_)
        if (!steps.Empty())
            return false;
    return true;
}

} // namespace qvl
