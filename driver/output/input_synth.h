// Synthetic input into the system's input stream: one key event, one typed text or one mouse event at a
// time, in the order the caller makes them. Events go to whatever window has the focus; nothing reports
// whether it took them.
#pragma once

#include <cstdint>
#include <string_view>

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
    // A key-down or key-up of virtual-key code `vk`, with scan code 0 and no extended-key flag: a keystroke
    // as the driver has always sent it.
    virtual void Key(std::uint8_t vk, bool up) = 0;
    // A key-down or key-up of `vk` as a keyboard sends it: with the key's scan code, and the extended-key
    // flag where the key has one (the arrows, Home, Insert, the Windows keys, ...). Steps send their keys
    // so, since programs that read scan codes see key 0 in a keystroke's events.
    virtual void StepKey(std::uint8_t vk, bool up) = 0;
    // `text` typed as characters, whatever the keyboard layout: each UTF-16 unit down and up, a character
    // beyond U+FFFF as its two halves, the whole text at once.
    virtual void Text(std::u16string_view text) = 0;
    // A mouse event: a relative move in pixels, an absolute position (0..65535), or button changes.
    virtual void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) = 0;
};

} // namespace qvl
