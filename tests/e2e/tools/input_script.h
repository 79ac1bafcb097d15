// The steps of qvl_input: one token per injected event, so a test writes the exact sequence it wants
// the probe to see.
//   key:VK:down|up[:ext]   a key event; VK decimal or 0x hex; ext sets the extended-key flag
//   char:U:down|up         a typed character (UTF-16 unit U, decimal or 0x hex), whatever the layout
//   move:DX:DY             a relative pointer move in pixels
//   abs:X:Y                an absolute move, X and Y normalised to 0..65535 over the primary screen
//   left:down|up           the left button (also right:, middle:)
//   wheel:DELTA            a wheel turn (120 is one notch away from the user)
//   cursor:X:Y             put the cursor at the screen point (no input event)
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvl::e2e {

struct InputStep {
    enum class Kind { kKey, kMove, kAbsolute, kButton, kWheel, kCursor, kChar };
    enum class Button { kLeft, kRight, kMiddle };

    Kind kind = Kind::kKey;
    unsigned vk = 0; // kChar: the UTF-16 unit
    bool up = false;
    bool extended = false;
    Button button = Button::kLeft;
    long x = 0; // dx for moves, the wheel delta for wheel turns
    long y = 0;
};

// The step a token names; nothing, with the reason in `error`, for a malformed token.
std::optional<InputStep> ParseInputStep(std::string_view token, std::string& error);

} // namespace qvl::e2e
