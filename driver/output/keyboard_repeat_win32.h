// The keyboard's repeat settings as the system holds them (SPI_GETKEYBOARDDELAY, SPI_GETKEYBOARDSPEED).
#pragma once

#include "driver/output/keyboard_repeat.h"

namespace qvl {

class Win32KeyboardRepeat final : public KeyboardRepeat {
public:
    RepeatTiming Timing() override;
};

} // namespace qvl
