// Where the serial link hands the device's bytes: the driver application, which feeds its decoder.
// Called on the link's reader thread, once per byte, in the order the bytes arrived.
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
};

} // namespace qvl
