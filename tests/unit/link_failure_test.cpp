// The classification of a failed read, write or status wait on an open port.
#include "driver/device/link_failure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace qvl {
namespace {

// Which failures of an open port mean the port went away (close, keep running, reconnect) and which
// end the driver.
TEST(LinkFailure, LostPortsAreToldApartFromFaults) {
    const std::pair<std::uint32_t, LinkFailure> table[] = {
        {1167, LinkFailure::kPortLost}, // device not connected
        {5, LinkFailure::kPortLost},    // access denied
        {22, LinkFailure::kPortLost},   // bad command
        {995, LinkFailure::kPortLost},  // operation aborted
        {31, LinkFailure::kPortLost},   // general failure
        {6, LinkFailure::kPortLost},    // invalid handle
        {1117, LinkFailure::kPortLost}, // I/O device error
        {109, LinkFailure::kPortLost},  // broken pipe
        {8, LinkFailure::kFatal},       // not enough memory
        {87, LinkFailure::kFatal},      // invalid parameter
        {50, LinkFailure::kFatal},      // not supported
        {0, LinkFailure::kFatal},
    };
    for (const auto& [code, expected] : table)
        EXPECT_EQ(ClassifyLinkError(code), expected) << code;
}

} // namespace
} // namespace qvl
