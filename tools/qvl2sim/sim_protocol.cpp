#include "tools/qvl2sim/sim_protocol.h"

#include <algorithm>
#include <cctype>

namespace qvl::sim {

namespace {

constexpr std::uint8_t kButtonStatus = 0x80;
constexpr std::uint8_t kWheelStatus = 0x81;
constexpr std::uint8_t kDownBit = 0x40;

std::string Lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

} // namespace

Message ButtonMessage(int keyNumber, bool down) {
    return {kButtonStatus, static_cast<std::uint8_t>((keyNumber & 0x07) | (down ? kDownBit : 0))};
}

std::optional<Message> WheelMessage(int direction, int magnitude) {
    if (magnitude < 1 || magnitude > kMaxWheelMagnitude)
        return std::nullopt;
    // Counter-clockwise steps count up from 1 (29 and more read as 29). Clockwise ones count down: 127
    // is a step of 1, 126 of 2, then 127 minus the step from 124 (3) to 99 (28); 64 to 98 read as 29.
    if (direction == kCounterClockwise)
        return Message{kWheelStatus, static_cast<std::uint8_t>(magnitude)};
    if (direction == kClockwise) {
        int data = 127 - magnitude;
        if (magnitude <= 2)
            data = 128 - magnitude;
        else if (magnitude == kMaxWheelMagnitude)
            data = 64;
        return Message{kWheelStatus, static_cast<std::uint8_t>(data)};
    }
    return std::nullopt;
}

std::optional<int> KeyNumberForName(std::string_view name) {
    const std::string key = Lower(name);
    if (key == "play")
        return kKeyPlay;
    if (key == "stop")
        return kKeyStop;
    if (key == "ff" || key == "fastforward" || key == "forward")
        return kKeyFastForward;
    if (key == "rew" || key == "rewind")
        return kKeyRewind;
    if (key == "record" || key == "rec")
        return kKeyRecord;
    if (key == "option")
        return kKeyOption;
    if (key == "shift")
        return kKeyShift;
    return std::nullopt;
}

std::string KeyName(int keyNumber) {
    static const char* const names[] = {"option", "shift", "rewind", "ff", "stop", "play", "record", "led"};
    return names[keyNumber & 0x07];
}

std::string DescribeMessage(const Message& message) {
    const std::uint8_t data = message[1];
    if (message[0] == kButtonStatus && (data & 0xB8) == 0) {
        const int key = data & 0x07;
        const bool down = (data & kDownBit) != 0;
        if (key == kKeyLed)
            return down ? "led on" : "led off";
        if (key == kKeyOption || key == kKeyShift)
            return KeyName(key) + (down ? " down" : " up");
        return (down ? "press " : "release ") + KeyName(key);
    }
    if (message[0] == kWheelStatus && data >= 1 && data <= 62)
        return "wheel ccw " + std::to_string(std::min<int>(data, kMaxWheelMagnitude));
    if (message[0] == kWheelStatus && data >= 64 && data <= 127) {
        int magnitude = 127 - data;
        if (data <= 98)
            magnitude = kMaxWheelMagnitude;
        else if (data == 125)
            magnitude = 3;
        else if (data >= 126)
            magnitude = 128 - data;
        return "wheel cw " + std::to_string(magnitude);
    }
    return "no event";
}

} // namespace qvl::sim
