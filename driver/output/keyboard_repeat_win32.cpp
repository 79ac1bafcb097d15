#include "driver/output/keyboard_repeat_win32.h"

#include <windows.h>

namespace qvl {

RepeatTiming Win32KeyboardRepeat::Timing() {
    // The system's defaults where a setting cannot be read: a delay of 1 (500 ms), the fastest speed.
    int delay = 1;
    DWORD speed = 31;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0))
        delay = 1;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0))
        speed = 31;
    return RepeatTimingFor(delay, static_cast<int>(speed));
}

} // namespace qvl
