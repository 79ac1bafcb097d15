// The keyset: what every control of the device does while one program is in front.
//
// These records are the stored format: the registry holds AppPref and each ControlAssignment as raw
// binary values, and a keyset file carries a whole KeysetRecord byte for byte. Field order, widths,
// padding and little-endian integers are therefore fixed, and every offset is checked below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace qvl {

constexpr int kBankCount = 4;
constexpr int kControlCount = 7;

// Control indices within a bank.
enum ControlIndex : int {
    kPlay = 0,
    kStop = 1,
    kFastForward = 2,
    kRewind = 3,
    kRecord = 4,
    kWheelCounterClockwise = 5,
    kWheelClockwise = 6,
};

// Bank indices within a keyset. Transport controls pick their bank from OPTION and SHIFT; the wheel
// picks it from its LED alone (on: main bank, off: option bank).
enum BankIndex : int {
    kMainBank = 0,
    kOptionBank = 1,
    kShiftBank = 2,
    kOptionShiftBank = 3,
};

// Whether bank `bank` and control `control` name an assignment of a keyset.
inline bool IsAssignmentIndex(int bank, int control) {
    return bank >= 0 && bank < kBankCount && control >= 0 && control < kControlCount;
}

inline bool IsWheelControl(int control) {
    return control == kWheelCounterClockwise || control == kWheelClockwise;
}

// Hot-key control modifier flags, as stored in hotKeyMods and in the high word of specialKey.
constexpr std::uint16_t kHotKeyShift = 0x01;
constexpr std::uint16_t kHotKeyControl = 0x02;
constexpr std::uint16_t kHotKeyAlt = 0x04;
constexpr std::uint16_t kHotKeyExtended = 0x08;

// Special keys: low word a virtual-key code, high word modifier flags (only Shift, for Shift + Tab).
constexpr std::uint32_t kSpecialNone = 0;
constexpr std::uint32_t kSpecialEnter = 13;
constexpr std::uint32_t kSpecialTab = 9;
constexpr std::uint32_t kSpecialShiftTab = 0x00010009;
constexpr std::uint32_t kSpecialSpace = 32;
constexpr std::uint32_t kSpecialBackspace = 8;
constexpr std::uint32_t kSpecialDelete = 46;

// mouseMode codes. A transport control knows 1 and 2; the wheel knows 1 to 7 with other meanings.
enum ButtonMouseMode : std::int16_t { kMouseNone = 0, kLeftClick = 1, kRightClick = 2 };
enum WheelMouseMode : std::int16_t {
    kHorizontalMove = 1,
    kVerticalMove = 2,
    kHorizontalDrag = 3,
    kVerticalDrag = 4,
    kHorizontalScroll = 5,
    kVerticalScroll = 6,
    kSpecialMode = 7,
};

struct ControlAssignment {
    std::uint8_t captureOnFirstPress; // capture point and window at first use while both strings are empty
    std::uint8_t padding1;
    std::int16_t wheelSpeed;  // 1 (slower) to 128 (faster)
    std::int16_t flagCode;    // three editor flags; the driver never reads it
    std::uint16_t hotKeyVk;   // virtual-key code of the keystroke, 0 = none
    std::uint16_t hotKeyMods; // kHotKey* flags of the keystroke
    std::uint8_t padding2[2];
    std::uint32_t specialKey; // kSpecial* code, 0 = none
    std::int16_t mouseMode;   // ButtonMouseMode or WheelMouseMode
    std::uint8_t padding3[2];
    std::int32_t clickX; // client coordinates in the target window, -1 = not set
    std::int32_t clickY;
    char windowTitle[256];
    char windowClass[63];
    char controlName[33];
};

struct AppPref {
    char appName[32]; // lower-case file title of the target program, or "Default"
    std::int32_t reservedA;
    std::int16_t reservedB;
    std::int16_t reservedC;
    std::uint8_t reservedFlag;
    std::uint8_t padding[3];
};

struct BankRecord {
    ControlAssignment controls[kControlCount];
};

struct KeysetRecord {
    AppPref header;
    BankRecord banks[kBankCount];
};

static_assert(std::is_standard_layout_v<ControlAssignment> && std::is_trivially_copyable_v<ControlAssignment>);
static_assert(std::is_standard_layout_v<AppPref> && std::is_trivially_copyable_v<AppPref>);
static_assert(std::is_standard_layout_v<KeysetRecord> && std::is_trivially_copyable_v<KeysetRecord>);

static_assert(sizeof(ControlAssignment) == 380);
static_assert(offsetof(ControlAssignment, captureOnFirstPress) == 0);
static_assert(offsetof(ControlAssignment, wheelSpeed) == 2);
static_assert(offsetof(ControlAssignment, flagCode) == 4);
static_assert(offsetof(ControlAssignment, hotKeyVk) == 6);
static_assert(offsetof(ControlAssignment, hotKeyMods) == 8);
static_assert(offsetof(ControlAssignment, specialKey) == 12);
static_assert(offsetof(ControlAssignment, mouseMode) == 16);
static_assert(offsetof(ControlAssignment, clickX) == 20);
static_assert(offsetof(ControlAssignment, clickY) == 24);
static_assert(offsetof(ControlAssignment, windowTitle) == 28);
static_assert(offsetof(ControlAssignment, windowClass) == 284);
static_assert(offsetof(ControlAssignment, controlName) == 347);

static_assert(sizeof(AppPref) == 44);
static_assert(offsetof(AppPref, appName) == 0);
static_assert(offsetof(AppPref, reservedA) == 32);
static_assert(offsetof(AppPref, reservedB) == 36);
static_assert(offsetof(AppPref, reservedC) == 38);
static_assert(offsetof(AppPref, reservedFlag) == 40);

static_assert(sizeof(BankRecord) == 2660);
static_assert(sizeof(KeysetRecord) == 10684);
static_assert(offsetof(KeysetRecord, header) == 0);
static_assert(offsetof(KeysetRecord, banks) == 44);

// Byte offset of one assignment within a keyset. Callers keep bank in 0..3 and control in 0..6.
constexpr std::size_t AssignmentOffset(int bank, int control) {
    return sizeof(AppPref) + static_cast<std::size_t>(bank) * sizeof(BankRecord) +
           static_cast<std::size_t>(control) * sizeof(ControlAssignment);
}
static_assert(AssignmentOffset(3, 4) == 9544);
static_assert(AssignmentOffset(2, 6) == 7644);

// Registry names: the value of each control within a bank key, and the key of each bank.
extern const char* const kControlValueNames[kControlCount];
extern const char* const kBankKeyNames[kBankCount];

// Ids of the editor's string table that name each control in each bank ("Option+Play", ...), and of
// "Wheel". The driver's string table has none of them.
extern const unsigned kTransportNameIds[kBankCount][5];
constexpr unsigned kWheelNameId = 129;
// The wheel's name in the LED-off bank is a fixed text, not a string-table entry.
constexpr const char* kWheelLedOffName = "Wheel LED Off";

// A program's string table as InitKeyset sees it. Load copies the text of `id` into `buffer` (at most
// size - 1 characters and a NUL) and answers how many characters it copied; 0 when the table has none.
class StringSource {
public:
    virtual ~StringSource() = default;
    virtual std::size_t Load(unsigned id, char* buffer, std::size_t size) const = 0;
};

// The driver's string table: it holds none of the control names.
class NoStrings final : public StringSource {
public:
    std::size_t Load(unsigned, char* buffer, std::size_t size) const override {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
};

// Copy `text` into a fixed string field, cut to the field with a terminating NUL; nothing is written
// past the field. The rest of the field is zero-filled so stored bytes never carry stale data.
void CopyToField(char* field, std::size_t fieldSize, const char* text);
template <std::size_t N> void CopyToField(char (&field)[N], const char* text) {
    CopyToField(field, N, text);
}

// Read a string field that may lack its terminating NUL (it came from the registry or a file).
std::string ReadField(const char* field, std::size_t fieldSize);
template <std::size_t N> std::string ReadField(const char (&field)[N]) {
    return ReadField(field, N);
}

// Make sure a string field ends within itself, so it can be written back as stored.
template <std::size_t N> void TerminateField(char (&field)[N]) {
    bool terminated = false;
    for (char c : field)
        terminated = terminated || c == '\0';
    if (!terminated)
        field[N - 1] = '\0';
}

// Terminate every string field of a record that came from outside the program.
void TerminateStrings(ControlAssignment& assignment);
void TerminateStrings(KeysetRecord& record);

// One assignment with the per-control defaults and empty strings.
void InitAssignment(ControlAssignment& assignment);

// A whole new keyset named `name`: Play sends Enter, Stop the space bar, the wheel with its LED on the
// arrow keys; everything else does nothing. Control names come from `names` (the editor's string
// table), except the fixed "Wheel LED Off".
void InitKeyset(KeysetRecord& record, const char* name, std::int32_t reservedA, const StringSource& names);

inline ControlAssignment& AssignmentAt(KeysetRecord& record, int bank, int control) {
    return record.banks[bank].controls[control];
}
inline const ControlAssignment& AssignmentAt(const KeysetRecord& record, int bank, int control) {
    return record.banks[bank].controls[control];
}

} // namespace qvl
