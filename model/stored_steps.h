// How a control's steps are stored in the registry, beside its assignment in the bank's subkey:
//
//   "Play"          REG_BINARY, 380 bytes   the assignment, as ever
//   "Play Steps"    REG_SZ                  the press's steps, in their text form (model/steps.h)
//   "Play Release"  REG_SZ                  the release's steps (transport buttons only)
//   "Play Repeat"   REG_DWORD 1             the press repeats while held (transport buttons only)
//
// and the same for "Stop", "FF", "RR", "Record", "CCWheel" and "CWheel" (the wheel's directions have
// "... Steps" alone). Older programs ignore the three. Each exists only while its field is set: a field
// cleared deletes its value. The text is the registry's own UTF-16, read and written with the wide
// functions, so that every character survives; in memory it is UTF-8.
//
// Reading is lenient and never loses what is stored: a value of another type counts as absent (and is
// left where it is until the user sets that field); a text is kept as it stands even when it cannot be
// read as steps or is too long to play (the editor shows it with a warning, the driver plays the
// keystroke instead); a text longer than kStoredStepsMaxUnits is not read at all and counts as absent.
// A REG_DWORD other than 0 is a repeat.
#pragma once

#include "model/keyset_steps.h"
#include "model/registry.h"
#include "model/steps.h"

#include <cstddef>
#include <string>

namespace qvl {

// The three fields of a control's steps, each one stored value.
constexpr int kPressField = 0;
constexpr int kReleaseField = 1;
constexpr int kRepeatField = 2;
constexpr int kStepsFieldCount = 3;

// The longest text read from a value, in UTF-16 units: well beyond what steps may hold, so that a text
// too long to play is still shown as it stands, and short enough that no value can exhaust memory.
constexpr std::size_t kStoredStepsMaxUnits = 4 * kStepsMaxCharacters;
// The most UTF-8 bytes such a text takes (three for each unit at most).
constexpr std::size_t kStoredStepsMaxBytes = 3 * kStoredStepsMaxUnits;

// Whether control `control` has field `field`: the wheel's directions have press steps alone.
bool HasStepsField(int control, int field);
// `steps` without the fields `control` does not have.
AssignmentSteps StepsForControl(int control, AssignmentSteps steps);
// The name of the value that stores `field` of `control`: "Play Steps", "FF Release", "Stop Repeat".
std::string StepsValueName(int control, int field);
// Whether `a` and `b` hold the same `field`; copying one field.
bool SameStepsField(const AssignmentSteps& a, const AssignmentSteps& b, int field);
void CopyStepsField(const AssignmentSteps& from, AssignmentSteps& to, int field);

// The steps stored beside assignment `control` in the bank subkey `bankKey`.
AssignmentSteps ReadStoredSteps(Registry& registry, Registry::Key bankKey, int control);

// Store `field` of `steps` for `control` in bank subkey `bankName` of `keysetKey`: its value written,
// or deleted when the field is empty.
RegStatus WriteStepsField(Registry& registry, Registry::Key keysetKey, const char* bankName, int control, int field,
                          const AssignmentSteps& steps);

} // namespace qvl
