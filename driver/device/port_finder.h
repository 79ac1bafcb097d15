// Which of several ports the device is on, told by the bytes each brings while the driver listens on
// all of them: the first port on which a whole press arrives, the down and then the up of one key (any
// of the eight: the transport keys, OPTION, SHIFT, the LED key), read as the decoder reads messages. A
// press is two messages in a row; anything between them (another message, an invalid one, a byte
// without its status byte) makes it no press, so line noise, a modem's text or another device's
// stream never passes for the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qvl {

class CPortFinder {
public:
    // Listening on `portCount` ports, numbered from 0 in the caller's order.
    explicit CPortFinder(std::size_t portCount) : lines_(portCount) {}

    // `count` bytes that arrived on port `index`, in order. The index of the device's port once a whole
    // press has come on one; from then on the answer stays, whatever else arrives.
    std::optional<std::size_t> Feed(std::size_t index, const std::uint8_t* bytes, std::size_t count);
    std::optional<std::size_t> Found() const { return found_; }

private:
    struct Line {
        std::uint8_t pending = 0; // the status byte whose data byte comes next, 0: none
        int keyDown = -1;         // the key whose down was the last message, -1: none
    };
    // One byte on `line`: true when it completed a press.
    static bool Take(Line& line, std::uint8_t byte);

    std::vector<Line> lines_;
    std::optional<std::size_t> found_;
};

} // namespace qvl
