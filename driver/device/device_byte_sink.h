// Where the serial link hands the device's bytes: the driver application, which feeds its decoder.
// Called on the link's reader thread, once per byte, in the order the bytes arrived; and told, once
// per connection, when the port has gone away under the link.
#pragma once

#include <cstdint>

namespace qvl {

class DeviceByteSink {
public:
    DeviceByteSink() = default;
    DeviceByteSink(const DeviceByteSink&) = delete;
    DeviceByteSink& operator=(const DeviceByteSink&) = delete;
    virtual ~DeviceByteSink() = default;
    virtual void OnDeviceByte(std::uint8_t byte) = 0;
    // The device or its port went away (a read, write or status wait failed as a lost port does, or
    // a write was not taken in time).
    // The link's threads have stopped or are stopping; the owner closes the link (not from this call,
    // which may come on the reader thread) and may open it again later.
    virtual void OnPortLost() = 0;
};

} // namespace qvl
