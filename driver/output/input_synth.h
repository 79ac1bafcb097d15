// Synthetic input into the system's input stream: one key event or one mouse event at a time, in the
// order the caller makes them. Events go to whatever window has the focus; nothing reports whether it
// took them.
#pragma once

#include <cstdint>

namespace qvl {

// Mouse event flags, with the values the system uses.
constexpr std::uint32_t kMouseMove = 0x0001;
constexpr std::uint32_t kMouseLeftDown = 0x0002;
constexpr std::uint32_t kMouseLeftUp = 0x0004;
constexpr std::uint32_t kMouseRightDown = 0x0008;
constexpr std::uint32_t kMouseRightUp = 0x0010;
constexpr std::uint32_t kMouseAbsolute = 0x8000;

class InputSynth {
public:
    InputSynth() = default;
    InputSynth(const InputSynth&) = delete;
    InputSynth& operator=(const InputSynth&) = delete;
    virtual ~InputSynth() = default;
    // A key-down or key-up of virtual-key code `vk`, with scan code 0 and no extended-key flag.
    virtual void Key(std::uint8_t vk, bool up) = 0;
    // A mouse event: a relative move in pixels, an absolute position (0..65535), or button changes.
    virtual void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) = 0;
};

} // namespace qvl
