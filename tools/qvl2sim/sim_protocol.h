// The device's side of the protocol: the two-byte messages a Quorvel 2 sends for each key and each
// wheel step, and the names the simulator's scripts and keys use for the controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvl::sim {

using Message = std::array<std::uint8_t, 2>;

// Key numbers of the button messages.
enum KeyNumber : int {
    kKeyOption = 0,
    kKeyShift = 1,
    kKeyRewind = 2,
    kKeyFastForward = 3,
    kKeyStop = 4,
    kKeyPlay = 5,
    kKeyRecord = 6,
    kKeyLed = 7,
};

enum WheelDirection : int { kCounterClockwise = 1, kClockwise = 2 };
constexpr int kMaxWheelMagnitude = 29;

// 0x80 and the key number, with 0x40 for down. The LED key reports the LED on as "down".
Message ButtonMessage(int keyNumber, bool down);
// 0x81 and the data byte that the driver decodes back to this direction and magnitude (1 to 29);
// nothing for a magnitude out of range.
std::optional<Message> WheelMessage(int direction, int magnitude);

// "play", "stop", "ff" (or "fastforward", "forward"), "rew" (or "rewind"), "record" (or "rec"),
// "option", "shift"; any case.
std::optional<int> KeyNumberForName(std::string_view name);
// The name of a key number as the log shows it.
std::string KeyName(int keyNumber);

// What a device message means, in the words of the log ("press play", "wheel cw 3", "led off").
std::string DescribeMessage(const Message& message);

constexpr std::uint8_t kStartByte = 0xB3;

} // namespace qvl::sim
