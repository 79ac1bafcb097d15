#include "driver/device/link_failure.h"

namespace qvl {

namespace {

// The system's codes for a port whose device has gone, as drivers of USB serial adapters, the serial
// port driver after resume and Wine's serial code report them.
constexpr std::uint32_t kLostPortCodes[] = {
    5,    // access denied: the handle of a re-enumerated adapter
    6,    // invalid handle: the port's handle died with a sleep
    20,   // the system cannot find the device
    21,   // the device is not ready
    22,   // the device does not recognise the command
    31,   // a device attached to the system is not functioning
    55,   // the network resource or device is no longer available
    109,  // broken pipe: the far end of a virtual port (Wine's pty) went away
    433,  // a device which does not exist was specified
    995,  // the operation was aborted (not by our own close)
    1117, // an I/O device error
    1167, // the device is not connected
};

} // namespace

LinkFailure ClassifyLinkError(std::uint32_t code) {
    for (std::uint32_t lost : kLostPortCodes) {
        if (code == lost)
            return LinkFailure::kPortLost;
    }
    return LinkFailure::kFatal;
}

} // namespace qvl
