// The system's lists of serial ports: the values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM and the devices
// of SetupAPI's "Ports" class with their friendly names.
#pragma once

#include "model/serial_ports.h"

namespace qvl {

class Win32SerialPortSource final : public SerialPortSource {
public:
    std::vector<std::string> MappedPorts() override;
    std::vector<NamedPort> ClassPorts() override;
};

} // namespace qvl
