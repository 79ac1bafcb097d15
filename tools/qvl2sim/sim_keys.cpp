#include "tools/qvl2sim/sim_keys.h"

namespace qvl::sim {

namespace {

// Step sizes for the digit keys: small steps for fine work up to the largest the device reports.
constexpr int kMagnitudeForDigit[] = {1, 2, 3, 5, 8, 12, 17, 23, 29};

SimCommand Send(const Message& message) {
    return {SimCommand::kSend, {message[0], message[1]}, DescribeMessage(message), 0, 0};
}

KeyAction Tap(int keyNumber) {
    KeyAction action;
    action.kind = KeyAction::kCommands;
    action.commands.push_back(Send(ButtonMessage(keyNumber, true)));
    action.commands.push_back({SimCommand::kWait, {}, "", kInteractiveTapMs, 0});
    action.commands.push_back(Send(ButtonMessage(keyNumber, false)));
    return action;
}

KeyAction Toggle(int keyNumber, bool& down) {
    down = !down;
    KeyAction action;
    action.kind = KeyAction::kCommands;
    action.commands.push_back(Send(ButtonMessage(keyNumber, down)));
    return action;
}

KeyAction Wheel(int direction, int magnitude) {
    KeyAction action;
    action.kind = KeyAction::kCommands;
    action.commands.push_back(Send(*WheelMessage(direction, magnitude)));
    return action;
}

} // namespace

KeyAction ActionForKey(char key, KeyboardState& state) {
    switch (key) {
        case 'p':
            return Tap(kKeyPlay);
        case 's':
            return Tap(kKeyStop);
        case 'f':
            return Tap(kKeyFastForward);
        case 'r':
            return Tap(kKeyRewind);
        case 'c':
            return Tap(kKeyRecord);
        case 'o':
            return Toggle(kKeyOption, state.optionDown);
        case 'h':
            return Toggle(kKeyShift, state.shiftDown);
        case 'l':
            return Toggle(kKeyLed, state.ledOn);
        case '[':
            return Wheel(kCounterClockwise, state.wheelMagnitude);
        case ']':
            return Wheel(kClockwise, state.wheelMagnitude);
        case '?':
            return {KeyAction::kHelp, {}, ""};
        case 'q':
        case 4: // Ctrl+D
            return {KeyAction::kQuit, {}, ""};
        default:
            break;
    }
    if (key >= '1' && key <= '9') {
        state.wheelMagnitude = kMagnitudeForDigit[key - '1'];
        return {KeyAction::kNone, {}, "wheel step size " + std::to_string(state.wheelMagnitude)};
    }
    return {};
}

std::string KeyboardHelp() {
    return "keys: p play, s stop, f ff, r rewind, c record (tap);\n"
           "      o OPTION, h SHIFT, l LED (toggle); [ ] wheel ccw/cw; 1-9 step size; ? help; q quit";
}

} // namespace qvl::sim
