#include "editor/views/registry_assignment_sink.h"

namespace qvl {

void RegistryAssignmentSink::Store(int, int, int) {
    SaveAllKeysets(store_, storage_);
}

} // namespace qvl
