#include "model/serial_ports.h"

#include "model/port_name.h"

#include <map>
#include <optional>

namespace qvl {

namespace {

std::string Description(const std::string& friendlyName, int number) {
    const std::string suffix = " (" + PortName(number) + ")";
    if (friendlyName.size() > suffix.size() &&
        friendlyName.compare(friendlyName.size() - suffix.size(), suffix.size(), suffix) == 0)
        return friendlyName.substr(0, friendlyName.size() - suffix.size());
    return friendlyName;
}

} // namespace

std::vector<SerialPort> ListSerialPorts(SerialPortSource& source) {
    std::map<int, std::string> ports; // by number: in order, each once
    for (const std::string& name : source.MappedPorts()) {
        if (const std::optional<int> number = ParsePortName(name))
            ports.emplace(*number, std::string());
    }
    for (const NamedPort& port : source.ClassPorts()) {
        const std::optional<int> number = ParsePortName(port.name);
        if (!number)
            continue;
        std::string& description = ports[*number];
        if (description.empty())
            description = Description(port.friendlyName, *number);
    }
    std::vector<SerialPort> list;
    list.reserve(ports.size());
    for (const auto& [number, description] : ports)
        list.push_back(SerialPort{number, description});
    return list;
}

} // namespace qvl
