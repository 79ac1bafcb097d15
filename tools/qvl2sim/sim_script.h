// The simulator's script language: one command per line, "#" starts a comment, case does not matter.
//
//   press NAME | release NAME       a transport key (play, stop, ff, rew, record) down or up
//   tap NAME [HOLD_MS]              down, HOLD_MS (default 50) later up
//   option down|up, shift down|up   the modifier keys
//   led on|off                      the wheel's LED key
//   wheel cw|ccw MAGNITUDE [COUNT [INTERVAL_MS]]
//                                   COUNT wheel steps (default 1) of MAGNITUDE (1 to 29), INTERVAL_MS
//                                   apart (default 0: as fast as the line takes them)
//   wait MS                         a pause
//   send BYTE...                    raw bytes, hexadecimal (80 45 or 0x80 0x45), for garbage on the line
//   expect start [TIMEOUT_MS]       wait for the driver's start byte 0xB3 (default 10000 ms)
//   expect BYTE [TIMEOUT_MS]        wait for any other byte from the driver
//
// A script is checked whole before anything is sent: a mistake on line 20 does not leave a key held.
// The commands it expands to are bounded (kMaxScriptCommands): repeat counts multiply, and a short
// script could otherwise ask for gigabytes.
#pragma once

#include "tools/qvl2sim/sim_protocol.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::sim {

struct SimCommand {
    enum Kind { kSend, kWait, kExpect };
    Kind kind;
    std::vector<std::uint8_t> bytes; // kSend: the bytes; kExpect: the one byte awaited
    std::string description;         // kSend: what the bytes mean, for the log
    int milliseconds;                // kWait: the pause; kExpect: the time-out
    int line;                        // where it came from, for messages
};

struct ScriptParse {
    std::vector<SimCommand> commands;
    std::vector<std::string> errors; // "line N: ..." for every line that could not be read
    bool Ok() const { return errors.empty(); }
};

ScriptParse ParseScript(std::string_view text);

// One line's commands appended to `out`; false with a message in `error` when the line is wrong or
// would take `out` beyond kMaxScriptCommands (then nothing of the line is appended).
bool ParseLine(std::string_view line, int lineNumber, std::vector<SimCommand>& out, std::string& error);

constexpr int kDefaultTapMs = 50;
constexpr int kDefaultExpectMs = 10000;
constexpr int kMaxRepeat = 100000;
constexpr std::size_t kMaxScriptCommands = 1000000;

} // namespace qvl::sim
