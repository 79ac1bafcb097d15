// The texts of the keyset overview's cells. A transport cell shows one assignment in three lines of
// 14 characters (its name, its keystroke, its click); a wheel cell shows a bank of the wheel in lines
// of 30 (the name centred, both directions' keystrokes around a bar, the mouse mode centred).
#pragma once

#include "editor/res/resource.h"
#include "model/keyset_record.h"
#include "model/keyset_steps.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qvl {

// String-table ids of the click and wheel-mode names.
constexpr unsigned kRightClickNameId = IDS_RIGHT_CLICK;
constexpr unsigned kLeftClickNameId = IDS_LEFT_CLICK;
constexpr unsigned kFirstWheelModeNameId = IDS_HORIZONTAL_MOVE; // to 61277, modes 1 to 7
constexpr unsigned kAlternateWheelNameId = IDS_ALTERNATE_WHEEL;

constexpr int kTransportLineWidth = 14;
constexpr int kWheelLineWidth = 30;

// `text` cut and padded to exactly n lines of `lineWidth`: a text that fills them or more keeps
// n * lineWidth - 1 characters, so it still ends with a space.
std::string Fit(std::string text, int n, int lineWidth);
// `text` with (lineWidth - length) / 2 + 1 spaces in front (none when that is not positive).
std::string Centre(const std::string& text, int lineWidth);
// The composed text in lines of at most `width` characters, separated by CR LF for a multi-line edit.
// Lines break between words; only a word longer than a line is cut.
std::string SplitLines(const std::string& text, int width);

// What a control's steps show in its cell, in their printed form: the press steps (or `keystroke`, for
// a press without steps that read), " / " and the release steps, " repeat" when the press repeats
// (release and repeat for a transport key only); empty for a control with none of them.
std::string StepsCellText(const AssignmentSteps& steps, const std::string& keystroke, bool transport);
// `text` in at most `width` characters: a longer text keeps its start and ends in "...".
std::string Shorten(const std::string& text, int width);

// One cell's view of the keyset: which assignment it shows and how wide its lines are. A cell without
// a keyset shows nothing.
class KeyCellText {
public:
    KeyCellText(const KeysetRecord* keyset, int controlIndex, int bankIndex, int lineWidth, const StringSource& strings)
        : keyset(keyset), controlIndex(static_cast<std::int16_t>(controlIndex)),
          bankIndex(static_cast<std::int16_t>(bankIndex)), lineWidth(lineWidth), strings_(strings) {}

    // The keystroke: the hot key with its modifier prefix, else the special key; `lineWidth` spaces
    // when there is neither. With steps: StepsCellText, shortened to leave the line's last column.
    std::string KeyText() const;
    // The flag prefix, but none for a cell without keystroke.
    std::string FlagPrefix() const;
    // The click of a transport control, or 14 spaces.
    std::string ClickText() const;
    // The mouse mode of a wheel control, or `lineWidth` spaces.
    std::string ModeName() const;
    // A transport cell's 42 characters; nothing (leave the cell as it is) for an assignment with
    // neither keystroke nor click.
    std::optional<std::string> Compose() const;

    const KeysetRecord* keyset;
    std::int16_t controlIndex;
    std::int16_t bankIndex;
    std::int32_t lineWidth;
    // The keyset's steps (none: no cell shows steps), and how their UTF-8 text becomes the cell's
    // (none: as it is).
    const KeysetSteps* steps = nullptr;
    std::function<std::string(const std::string&)> stepsText;

protected:
    const ControlAssignment* Assignment() const;
    std::string String(unsigned id) const;

    const StringSource& strings_;
};

// The wheel's cell for one bank (0: LED on, 1: LED off); its line width changes while it composes.
class WheelCellText : public KeyCellText {
public:
    WheelCellText(const KeysetRecord* keyset, int bankIndex, const StringSource& strings)
        : KeyCellText(keyset, kWheelCounterClockwise, bankIndex, 29, strings) {}

    // The wheel's name from the counter-clockwise control, both keystrokes, the clockwise control's
    // mouse mode.
    std::string Compose();
};

} // namespace qvl
