#include "driver/device/serial_settings.h"

namespace qvl {

std::optional<std::string> PortNameFor(int comPort) {
    if (comPort < 0 || comPort > 3)
        return std::nullopt;
    return "COM" + std::to_string(comPort + 1);
}

} // namespace qvl
