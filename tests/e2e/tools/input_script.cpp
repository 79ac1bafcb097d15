#include "input_script.h"

#include "tool_args.h"

#include <vector>

namespace qvl::e2e {

namespace {

std::vector<std::string_view> SplitColons(std::string_view token) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t colon = token.find(':');
        parts.push_back(token.substr(0, colon));
        if (colon == std::string_view::npos)
            return parts;
        token.remove_prefix(colon + 1);
    }
}

std::optional<bool> ParseDirection(std::string_view word) {
    if (word == "down")
        return false;
    if (word == "up")
        return true;
    return std::nullopt;
}

bool ParseCoordinate(std::string_view text, long& value) {
    const std::optional<long long> number = ParseInteger(text);
    if (!number || *number < -1000000 || *number > 1000000)
        return false;
    value = static_cast<long>(*number);
    return true;
}

std::optional<InputStep> Fail(std::string& error, std::string_view token, const char* why) {
    error = std::string(token) + ": " + why;
    return std::nullopt;
}

} // namespace

std::optional<InputStep> ParseInputStep(std::string_view token, std::string& error) {
    const std::vector<std::string_view> parts = SplitColons(token);
    const std::string_view verb = parts[0];
    InputStep step;
    if (verb == "key") {
        if (parts.size() != 3 && parts.size() != 4)
            return Fail(error, token, "expected key:VK:down|up[:ext]");
        const std::optional<long long> vk = ParseInteger(parts[1]);
        if (!vk || *vk < 1 || *vk > 254)
            return Fail(error, token, "virtual-key code outside 1..254");
        const std::optional<bool> up = ParseDirection(parts[2]);
        if (!up)
            return Fail(error, token, "expected down or up");
        if (parts.size() == 4 && parts[3] != "ext")
            return Fail(error, token, "the only key flag is ext");
        step.kind = InputStep::Kind::kKey;
        step.vk = static_cast<unsigned>(*vk);
        step.up = *up;
        step.extended = parts.size() == 4;
        return step;
    }
    if (verb == "char") {
        const std::optional<long long> unit = parts.size() == 3 ? ParseInteger(parts[1]) : std::nullopt;
        const std::optional<bool> up = parts.size() == 3 ? ParseDirection(parts[2]) : std::nullopt;
        if (!unit || *unit < 1 || *unit > 0xFFFF || !up)
            return Fail(error, token, "expected char:U:down|up with U in 1..0xFFFF");
        step.kind = InputStep::Kind::kChar;
        step.vk = static_cast<unsigned>(*unit);
        step.up = *up;
        return step;
    }
    if (verb == "move" || verb == "abs" || verb == "cursor") {
        if (parts.size() != 3 || !ParseCoordinate(parts[1], step.x) || !ParseCoordinate(parts[2], step.y))
            return Fail(error, token, "expected two numbers");
        step.kind = verb == "move"  ? InputStep::Kind::kMove
                    : verb == "abs" ? InputStep::Kind::kAbsolute
                                    : InputStep::Kind::kCursor;
        return step;
    }
    if (verb == "left" || verb == "right" || verb == "middle") {
        const std::optional<bool> up = parts.size() == 2 ? ParseDirection(parts[1]) : std::nullopt;
        if (!up)
            return Fail(error, token, "expected down or up");
        step.kind = InputStep::Kind::kButton;
        step.button = verb == "left"    ? InputStep::Button::kLeft
                      : verb == "right" ? InputStep::Button::kRight
                                        : InputStep::Button::kMiddle;
        step.up = *up;
        return step;
    }
    if (verb == "wheel") {
        if (parts.size() != 2 || !ParseCoordinate(parts[1], step.x))
            return Fail(error, token, "expected wheel:DELTA");
        step.kind = InputStep::Kind::kWheel;
        return step;
    }
    return Fail(error, token, "unknown step");
}

} // namespace qvl::e2e
