#include "driver/output/held_input.h"

#include <algorithm>

namespace qvl {

namespace {

constexpr std::uint32_t kMouseMiddleDown = 0x0020;
constexpr std::uint32_t kMouseMiddleUp = 0x0040;

// Each mouse button's down flag and the up flag that lets go of it.
struct ButtonFlags {
    std::uint32_t down;
    std::uint32_t up;
};
constexpr ButtonFlags kButtons[] = {
    {kMouseLeftDown, kMouseLeftUp},
    {kMouseRightDown, kMouseRightUp},
    {kMouseMiddleDown, kMouseMiddleUp},
};

} // namespace

std::size_t CHeldInput::Slot(const Held& held) {
    if (!held.mouse)
        return held.code & 0xFF;
    return held.code == kMouseLeftUp ? 256 : held.code == kMouseRightUp ? 257 : 258;
}

void CHeldInput::Pressed(const Held& held) {
    const std::size_t slot = Slot(held);
    releasedEarly_.reset(slot);
    if (down_.test(slot))
        return;
    down_.set(slot);
    held_.push_back(held);
}

bool CHeldInput::Released(const Held& held) {
    const std::size_t slot = Slot(held);
    if (down_.test(slot)) {
        down_.reset(slot);
        // Mostly the last one down comes up first.
        held_.erase(std::find(held_.rbegin(), held_.rend(), held).base() - 1);
        return true;
    }
    if (releasedEarly_.test(slot)) {
        releasedEarly_.reset(slot);
        return false;
    }
    return true;
}

void CHeldInput::Key(std::uint8_t vk, bool up) {
    SendKey(Held{false, vk, false}, up);
}

void CHeldInput::StepKey(std::uint8_t vk, bool up) {
    SendKey(Held{false, vk, true}, up);
}

void CHeldInput::SendKey(const Held& key, bool up) {
    if (up) {
        if (!Released(key))
            return;
    } else {
        Pressed(key);
    }
    const auto vk = static_cast<std::uint8_t>(key.code);
    if (key.step)
        input_.StepKey(vk, up);
    else
        input_.Key(vk, up);
}

void CHeldInput::Text(std::u16string_view text) {
    input_.Text(text);
}

void CHeldInput::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    bool dropped = false;
    for (const ButtonFlags& button : kButtons) {
        const Held held{true, button.up};
        if ((flags & button.down) != 0)
            Pressed(held);
        if ((flags & button.up) != 0 && !Released(held)) {
            flags &= ~button.up;
            dropped = true;
        }
    }
    // An event that was only a late release has nothing left to say.
    if (dropped && (flags & ~kMouseAbsolute) == 0)
        return;
    input_.Mouse(flags, dx, dy);
}

int CHeldInput::ReleaseAll() {
    const int count = static_cast<int>(held_.size());
    while (!held_.empty()) {
        const Held held = held_.back();
        held_.pop_back();
        down_.reset(Slot(held));
        releasedEarly_.set(Slot(held));
        if (held.mouse)
            input_.Mouse(held.code, 0, 0);
        else if (held.step)
            input_.StepKey(static_cast<std::uint8_t>(held.code), true);
        else
            input_.Key(static_cast<std::uint8_t>(held.code), true);
    }
    return count;
}

std::vector<CHeldInput::Held> CHeldInput::HeldNow() const {
    return held_;
}

} // namespace qvl
