#include "tools/qvl2sim/sim_script.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>

namespace qvl::sim {

namespace {

std::vector<std::string> Words(std::string_view line) {
    const std::size_t comment = line.find('#');
    if (comment != std::string_view::npos)
        line = line.substr(0, comment);
    std::vector<std::string> words;
    std::istringstream stream{std::string(line)};
    std::string word;
    while (stream >> word) {
        std::transform(word.begin(), word.end(), word.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        words.push_back(word);
    }
    return words;
}

// A whole decimal number in [low, high].
std::optional<int> Number(const std::string& word, int low, int high) {
    if (word.empty() || word.size() > 9 || !std::all_of(word.begin(), word.end(), ::isdigit))
        return std::nullopt;
    const int value = std::stoi(word);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::uint8_t> HexByte(std::string word) {
    if (word.rfind("0x", 0) == 0)
        word = word.substr(2);
    if (word.empty() || word.size() > 2 || !std::all_of(word.begin(), word.end(), ::isxdigit))
        return std::nullopt;
    return static_cast<std::uint8_t>(std::stoi(word, nullptr, 16));
}

SimCommand Send(const Message& message, int line) {
    return {SimCommand::kSend, {message[0], message[1]}, DescribeMessage(message), 0, line};
}

SimCommand Wait(int milliseconds, int line) {
    return {SimCommand::kWait, {}, "", milliseconds, line};
}

constexpr int kMaxMs = 3600 * 1000;

std::string TooLong() {
    return "the script expands to more than " + std::to_string(kMaxScriptCommands) + " commands";
}

enum class LineResult { kOk, kWrong, kTooLong };

// The commands of one line. Only a wheel line checks the bound itself, before expanding.
LineResult ParseCommand(std::string_view text, int line, std::vector<SimCommand>& out, std::string& error) {
    const std::vector<std::string> w = Words(text);
    if (w.empty())
        return LineResult::kOk;
    const std::string& verb = w[0];
    const auto fail = [&](const std::string& message) {
        error = "line " + std::to_string(line) + ": " + message;
        return LineResult::kWrong;
    };

    if (verb == "press" || verb == "release" || verb == "tap") {
        const std::optional<int> key = w.size() >= 2 ? KeyNumberForName(w[1]) : std::nullopt;
        if (!key || *key == kKeyOption || *key == kKeyShift)
            return fail(verb + " needs a key: play, stop, ff, rew or record");
        if (verb == "tap") {
            std::optional<int> hold = kDefaultTapMs;
            if (w.size() >= 3)
                hold = Number(w[2], 0, kMaxMs);
            if (!hold || w.size() > 3)
                return fail("tap KEY [HOLD_MS]");
            out.push_back(Send(ButtonMessage(*key, true), line));
            out.push_back(Wait(*hold, line));
            out.push_back(Send(ButtonMessage(*key, false), line));
            return LineResult::kOk;
        }
        if (w.size() != 2)
            return fail(verb + " KEY");
        out.push_back(Send(ButtonMessage(*key, verb == "press"), line));
        return LineResult::kOk;
    }
    if (verb == "option" || verb == "shift") {
        if (w.size() != 2 || (w[1] != "down" && w[1] != "up"))
            return fail(verb + " down|up");
        out.push_back(Send(ButtonMessage(verb == "option" ? kKeyOption : kKeyShift, w[1] == "down"), line));
        return LineResult::kOk;
    }
    if (verb == "led") {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off"))
            return fail("led on|off");
        out.push_back(Send(ButtonMessage(kKeyLed, w[1] == "on"), line));
        return LineResult::kOk;
    }
    if (verb == "wheel") {
        if (w.size() < 3 || w.size() > 5 || (w[1] != "cw" && w[1] != "ccw"))
            return fail("wheel cw|ccw MAGNITUDE [COUNT [INTERVAL_MS]]");
        const std::optional<int> magnitude = Number(w[2], 1, kMaxWheelMagnitude);
        if (!magnitude)
            return fail("the wheel's magnitude is 1 to 29");
        const std::optional<int> count = w.size() >= 4 ? Number(w[3], 1, kMaxRepeat) : 1;
        const std::optional<int> interval = w.size() >= 5 ? Number(w[4], 0, kMaxMs) : 0;
        if (!count || !interval)
            return fail("wheel: COUNT is 1 to " + std::to_string(kMaxRepeat) + ", INTERVAL_MS a number");
        // COUNT steps with a pause between each two.
        const std::size_t expanded = static_cast<std::size_t>(*count) + (*interval > 0 ? *count - 1 : 0);
        if (out.size() + expanded > kMaxScriptCommands) {
            fail(TooLong());
            return LineResult::kTooLong; // refused before anything of it is made
        }
        const Message message = *WheelMessage(w[1] == "cw" ? kClockwise : kCounterClockwise, *magnitude);
        for (int i = 0; i < *count; ++i) {
            if (i > 0 && *interval > 0)
                out.push_back(Wait(*interval, line));
            out.push_back(Send(message, line));
        }
        return LineResult::kOk;
    }
    if (verb == "wait") {
        const std::optional<int> ms = w.size() == 2 ? Number(w[1], 0, kMaxMs) : std::nullopt;
        if (!ms)
            return fail("wait MS");
        out.push_back(Wait(*ms, line));
        return LineResult::kOk;
    }
    if (verb == "send") {
        if (w.size() < 2)
            return fail("send BYTE...");
        SimCommand send{SimCommand::kSend, {}, "raw", 0, line};
        for (std::size_t i = 1; i < w.size(); ++i) {
            const std::optional<std::uint8_t> byte = HexByte(w[i]);
            if (!byte)
                return fail("not a byte: " + w[i]);
            send.bytes.push_back(*byte);
        }
        out.push_back(send);
        return LineResult::kOk;
    }
    if (verb == "expect") {
        if (w.size() < 2 || w.size() > 3)
            return fail("expect start|BYTE [TIMEOUT_MS]");
        const std::optional<std::uint8_t> byte =
            w[1] == "start" ? std::optional<std::uint8_t>(kStartByte) : HexByte(w[1]);
        const std::optional<int> timeout = w.size() == 3 ? Number(w[2], 0, kMaxMs) : kDefaultExpectMs;
        if (!byte || !timeout)
            return fail("expect start|BYTE [TIMEOUT_MS]");
        out.push_back({SimCommand::kExpect, {*byte}, "", *timeout, line});
        return LineResult::kOk;
    }
    return fail("unknown command \"" + verb + "\"");
}

// One line within the bound on the whole script; a line beyond it leaves `out` as it was.
LineResult ParseBounded(std::string_view text, int line, std::vector<SimCommand>& out, std::string& error) {
    const std::size_t before = out.size();
    const LineResult result = ParseCommand(text, line, out, error);
    if (result != LineResult::kOk)
        return result;
    if (out.size() > kMaxScriptCommands) {
        out.resize(before);
        error = "line " + std::to_string(line) + ": " + TooLong();
        return LineResult::kTooLong;
    }
    return LineResult::kOk;
}

} // namespace

bool ParseLine(std::string_view text, int line, std::vector<SimCommand>& out, std::string& error) {
    return ParseBounded(text, line, out, error) == LineResult::kOk;
}

ScriptParse ParseScript(std::string_view text) {
    ScriptParse parse;
    int line = 0;
    while (!text.empty() || line == 0) {
        ++line;
        const std::size_t end = text.find('\n');
        const std::string_view current = text.substr(0, end);
        std::string error;
        const LineResult result = ParseBounded(current, line, parse.commands, error);
        if (result != LineResult::kOk) {
            parse.errors.push_back(error);
            if (result == LineResult::kTooLong)
                break; // every later line would say the same
        }
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    if (!parse.Ok())
        parse.commands.clear();
    return parse;
}

} // namespace qvl::sim
