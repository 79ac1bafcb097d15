// The names of serial ports as the user and the registry give them: "COM1" to "COM256", in any case.
// Windows numbers every USB serial adapter it has seen, from COM3 upwards, so any of them may be the
// device's; from COM10 on a port opens only by its device path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvl {

constexpr int kFirstPortNumber = 1;
constexpr int kLastPortNumber = 256;

// The number of the port `name` names ("COM7", "com7"); nothing for anything else ("COM0", "COM257",
// "COM 3", "COM07", "LPT1", "").
std::optional<int> ParsePortName(std::string_view name);
// "COM7" for 7.
std::string PortName(int number);
// "\\.\COM7": the form that opens every port, COM10 and above included.
std::string PortDevicePath(int number);

} // namespace qvl
