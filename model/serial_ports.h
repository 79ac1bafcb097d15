// The serial ports this machine has, for the user to choose from and for the driver to look for the
// device on. The system names them in two places: the device map (every port a driver made, by its
// name alone) and the devices of its class of ports (those plugged in, each with a friendly name such
// as "USB Serial Port (COM7)"). The list joins the two: each port once, by number (COM10 after COM9),
// with the friendly name where the class gives one.
#pragma once

#include <string>
#include <vector>

namespace qvl {

// A port the system names: "COM7", and its friendly name when it has one ("" when not).
struct NamedPort {
    std::string name;
    std::string friendlyName;
};

// Where the system lists its serial ports.
class SerialPortSource {
public:
    SerialPortSource() = default;
    SerialPortSource(const SerialPortSource&) = delete;
    SerialPortSource& operator=(const SerialPortSource&) = delete;
    virtual ~SerialPortSource() = default;
    // The port names of the device map, as stored ("COM3").
    virtual std::vector<std::string> MappedPorts() = 0;
    // The devices of the class of ports present now: each one's port name and friendly name (its
    // parallel ports among them).
    virtual std::vector<NamedPort> ClassPorts() = 0;
};

struct SerialPort {
    int number;              // 1 to 256
    std::string description; // "USB Serial Port"; "" when the system gives none
    bool operator==(const SerialPort& other) const {
        return number == other.number && description == other.description;
    }
};

// Every serial port either place names, once each, sorted by number. A friendly name loses the port's
// name the system puts at its end ("USB Serial Port (COM7)" describes COM7 as "USB Serial Port").
std::vector<SerialPort> ListSerialPorts(SerialPortSource& source);

} // namespace qvl
