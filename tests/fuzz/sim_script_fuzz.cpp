// The simulator's script parser over any text. A script is either refused whole, each error naming its
// line, or gives commands within the bound whose messages the driver's decoder reads as described.
#include "fuzz_check.h"

#include "driver/device/device_decoder.h"
#include "tools/qvl2sim/sim_script.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl::sim;
    using qvl::fuzz::Require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ScriptParse parse = ParseScript(text);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;

    Require(parse.Ok() == parse.errors.empty(), "Ok means no errors");
    Require(parse.Ok() || parse.commands.empty(), "a refused script gives no commands");
    Require(parse.commands.size() <= kMaxScriptCommands, "the expanded script stays within its bound");
    int lastLine = 0;
    for (const std::string& error : parse.errors) {
        const int line = std::atoi(error.c_str() + 5);
        Require(error.rfind("line ", 0) == 0 && line > lastLine && line <= lines, "errors name their lines in order");
        lastLine = line;
    }
    lastLine = 1;
    for (const SimCommand& command : parse.commands) {
        Require(command.line >= lastLine && command.line <= lines, "commands keep the order of their lines");
        lastLine = command.line;
        if (command.kind == SimCommand::kExpect)
            Require(command.bytes.size() == 1, "an expect awaits one byte");
        if (command.kind != SimCommand::kSend || command.description == "raw")
            continue;
        Require(command.bytes.size() == 2, "a device message is two bytes");
        const Message message{command.bytes[0], command.bytes[1]};
        Require(DescribeMessage(message) == command.description, "the log describes the message sent");
        if (message[0] == qvl::kStatusWheel)
            Require(qvl::DecodeWheelByte(message[1]).direction != 0, "a wheel message is a step to the driver");
    }
    return 0;
}
