// Every key and mouse button the driver has pressed and not yet let go of, kept where all synthetic
// input passes: the driver's parts press and release through this object instead of the system's
// input stream. When the driver stops listening to the device (the port is lost, Disable, Exit,
// Reload, the session ends or is locked), ReleaseAll lets go of everything still down, last pressed
// first, so no key or button stays down in a desktop whose driver no longer answers for it.
//
// The device's own release of such a key may still come later (its button comes up after the port is
// back, or the transport key's release after a Disable and Enable): what ReleaseAll already let go of
// is then not sent a second time. Other releases pass as they come.
//
// Calls come from the port's reader thread, the player's loop, the wheel's idle timer and the window
// thread; the player that owns this object (CStepPlayer) makes them one at a time, under its lock, so that
// each event and its record stay together.
#pragma once

#include "driver/output/input_synth.h"

#include <bitset>
#include <cstdint>
#include <vector>

namespace qvl {

class CHeldInput final : public InputSynth {
public:
    explicit CHeldInput(InputSynth& input) : input_(input) {}

    void Key(std::uint8_t vk, bool up) override;
    void StepKey(std::uint8_t vk, bool up) override;
    void Text(std::u16string_view text) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;

    // The up event of everything held, in reverse order of the presses. Returns how many went out.
    int ReleaseAll();
    // What is down now, in the order it went down.
    struct Held {
        bool mouse;         // a mouse button (its up flag in `code`), else a key
        std::uint32_t code; // the virtual key, or the button's up flag
        bool step = false;  // a key that went down as a step's, with its scan code: it comes up so too
        // One key is one key, however it went down.
        bool operator==(const Held& other) const { return mouse == other.mouse && code == other.code; }
    };
    std::vector<Held> HeldNow() const;

private:
    // Note a press.
    void Pressed(const Held& held);
    // Note a release; false when it is the late release of something ReleaseAll already let go of.
    bool Released(const Held& held);
    void SendKey(const Held& key, bool up);
    // Keys by their code, then the mouse buttons: one bit each, so that every key event costs a test and
    // a set, not a search.
    static std::size_t Slot(const Held& held);

    InputSynth& input_;
    std::vector<Held> held_; // in the order they went down
    std::bitset<256 + 3> down_;
    std::bitset<256 + 3> releasedEarly_;
};

} // namespace qvl
