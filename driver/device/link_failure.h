// What a failed call on an open port means for the driver. Most failures of a port that worked say
// that its device or the port itself has gone: a USB adapter unplugged or re-enumerated, a handle that
// died with a sleep, a docking station detached. The driver then closes the link, lets go of what it
// holds and reconnects when the port is back. Anything else is a fault the driver cannot go on from.
#pragma once

#include <cstdint>

namespace qvl {

enum class LinkFailure {
    kPortLost, // the device or its port went away: close, keep running, reconnect
    kFatal,    // report it and end the process
};

// `code` is the system's error code of the failed read, write or status wait. An aborted operation
// is a lost port only when the link's own close did not abort it; the caller leaves those out.
LinkFailure ClassifyLinkError(std::uint32_t code);

} // namespace qvl
