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

bool Erase(std::vector<CHeldInput::Held>& list, const CHeldInput::Held& held) {
    const auto found = std::find(list.begin(), list.end(), held);
    if (found == list.end())
        return false;
    list.erase(found);
    return true;
}

} // namespace

void CHeldInput::Pressed(const Held& held) {
    Erase(releasedEarly_, held);
    if (std::find(held_.begin(), held_.end(), held) == held_.end())
        held_.push_back(held);
}

bool CHeldInput::Released(const Held& held) {
    if (Erase(held_, held))
        return true;
    return !Erase(releasedEarly_, held);
}

void CHeldInput::Key(std::uint8_t vk, bool up) {
    SendKey(Held{false, vk, false}, up);
}

void CHeldInput::StepKey(std::uint8_t vk, bool up) {
    SendKey(Held{false, vk, true}, up);
}

void CHeldInput::SendKey(const Held& key, bool up) {
    std::lock_guard<std::mutex> hold(lock_);
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
    std::lock_guard<std::mutex> hold(lock_); // between other events, not inside them
    input_.Text(text);
}

void CHeldInput::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    std::lock_guard<std::mutex> hold(lock_);
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
    std::lock_guard<std::mutex> hold(lock_);
    const int count = static_cast<int>(held_.size());
    while (!held_.empty()) {
        const Held held = held_.back();
        held_.pop_back();
        releasedEarly_.push_back(held);
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
    std::lock_guard<std::mutex> hold(lock_);
    return held_;
}

} // namespace qvl
