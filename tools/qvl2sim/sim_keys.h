// The interactive mode's keyboard: each key of the terminal stands for a device control.
//
//   p play   s stop   f ff   r rewind   c record   (a tap: down, then up)
//   o OPTION   h SHIFT   l LED          (each press toggles: down/up, on/off)
//   [ wheel counter-clockwise   ] wheel clockwise   1-9 the wheel's step size
//   ? this help   q quit
#pragma once

#include "tools/qvl2sim/sim_script.h"

#include <string>
#include <vector>

namespace qvl::sim {

// What the toggling keys hold between presses.
struct KeyboardState {
    bool optionDown = false;
    bool shiftDown = false;
    bool ledOn = true; // the device starts with its LED on
    int wheelMagnitude = 1;
};

struct KeyAction {
    enum Kind { kNone, kCommands, kHelp, kQuit };
    Kind kind = kNone;
    std::vector<SimCommand> commands;
    std::string note; // shown for keys that only change the state
};

KeyAction ActionForKey(char key, KeyboardState& state);

std::string KeyboardHelp();

constexpr int kInteractiveTapMs = 80;

} // namespace qvl::sim
