// The connection to the device as the driver application uses it: open the configured port, send
// the start byte, close. One connection per object; received bytes go to a DeviceByteSink.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvl {

class DeviceLink {
public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    virtual ~DeviceLink() = default;

    // Open port COM`port` (1 to 256), set it up and start receiving. False when it cannot be opened
    // (OpenError says why); the caller tells the user.
    virtual bool Open(int port) = 0;
    // Stop receiving and close the port; false when no connection was open.
    virtual bool Close() = 0;
    // Write `count` bytes and wait until they are written, for a few seconds at most; false when they
    // could not all be written. A port that does not take them in that time is a port that has gone.
    virtual bool WriterGeneric(const std::uint8_t* buffer, std::size_t count) = 0;
    virtual bool IsOpen() const = 0;
    // The system's error code of the last open that failed (0 after one that worked).
    virtual std::uint32_t OpenError() const = 0;
};

} // namespace qvl
