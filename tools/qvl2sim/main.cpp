// qvl2sim: a Quorvel 2 on a pty (or a real serial line) for the driver under Wine.
//
//   qvl2sim [--device PATH] [--link PATH] [--interactive] [--hold] [--no-pace] [SCRIPT | -]
//
// Prints "pty PATH" (the line to give the driver) first, then a log of every message it sends and
// every byte it receives. See README.md beside this file for the script language.
#include "tools/qvl2sim/sim_keys.h"
#include "tools/qvl2sim/sim_line.h"
#include "tools/qvl2sim/sim_script.h"
#include "tools/qvl2sim/simulator.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace qvl::sim;

volatile std::sig_atomic_t interrupted = 0;

void OnSignal(int) {
    interrupted = 1;
}

struct Options {
    std::string device;
    std::string link;
    std::string script;
    bool interactive = false;
    bool hold = false;
    bool pace = true;
};

const char* const kUsage =
    "usage: qvl2sim [--device PATH] [--link PATH] [--interactive] [--hold] [--no-pace] [SCRIPT | -]\n"
    "  --device PATH   use this serial device instead of a new pty\n"
    "  --link PATH     make PATH a symbolic link to the line (removed again at exit)\n"
    "  --interactive   play the device from the keyboard (after the script, if one is given)\n"
    "  --hold          keep the line up after the script until interrupted\n"
    "  --no-pace       send as fast as possible instead of at 2400 baud\n"
    "  SCRIPT          a script file, or - for standard input\n";

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--device" || arg == "--link") && i + 1 < argc) {
            (arg == "--device" ? options.device : options.link) = argv[++i];
        } else if (arg == "--interactive") {
            options.interactive = true;
        } else if (arg == "--hold") {
            options.hold = true;
        } else if (arg == "--no-pace") {
            options.pace = false;
        } else if ((arg == "-" || arg[0] != '-') && options.script.empty()) {
            options.script = arg;
        } else {
            return false;
        }
    }
    return true;
}

bool ReadScript(const std::string& source, std::string& text) {
    std::ostringstream buffer;
    if (source == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(source);
        if (!file)
            return false;
        buffer << file.rdbuf();
    }
    text = buffer.str();
    return true;
}

// The terminal in single-key mode for as long as this lives.
class RawTerminal {
public:
    RawTerminal() : ok_(isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
        if (!ok_)
            return;
        termios raw = saved_;
        raw.c_lflag &= ~(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    ~RawTerminal() {
        if (ok_)
            tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

private:
    termios saved_ = {};
    bool ok_;
};

bool Interactive(Simulator& simulator) {
    RawTerminal terminal;
    KeyboardState state;
    simulator.Note(KeyboardHelp());
    while (!simulator.Stopping() && !simulator.LineFailed()) {
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 100);
        if (interrupted)
            simulator.Stop();
        if (ready <= 0)
            continue;
        char key = 0;
        if (read(STDIN_FILENO, &key, 1) != 1)
            return true; // end of input
        const KeyAction action = ActionForKey(key, state);
        switch (action.kind) {
            case KeyAction::kCommands:
                if (!simulator.Run(action.commands))
                    return false;
                break;
            case KeyAction::kHelp:
                simulator.Note(KeyboardHelp());
                break;
            case KeyAction::kQuit:
                return true;
            case KeyAction::kNone:
                if (!action.note.empty())
                    simulator.Note(action.note);
                break;
        }
    }
    return !simulator.LineFailed();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::vector<SimCommand> commands;
    if (!options.script.empty()) {
        std::string text;
        if (!ReadScript(options.script, text)) {
            std::fprintf(stderr, "qvl2sim: cannot read %s\n", options.script.c_str());
            return 2;
        }
        ScriptParse parse = ParseScript(text);
        for (const std::string& error : parse.errors)
            std::fprintf(stderr, "qvl2sim: %s: %s\n", options.script.c_str(), error.c_str());
        if (!parse.Ok())
            return 2;
        commands = std::move(parse.commands);
    }

    std::string error;
    std::unique_ptr<SimLine> line =
        options.device.empty() ? SimLine::OpenPty(error) : SimLine::OpenDevice(options.device, error);
    if (!line) {
        std::fprintf(stderr, "qvl2sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("pty %s\n", line->Path().c_str());
    if (!options.link.empty()) {
        if (!PointLink(options.link, line->Path(), error)) {
            std::fprintf(stderr, "qvl2sim: %s\n", error.c_str());
            return 1;
        }
        std::printf("link %s -> %s\n", options.link.c_str(), line->Path().c_str());
    }
    std::fflush(stdout);

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    bool ok = true;
    {
        Simulator simulator(*line, stdout, options.pace);
        // Signals only set a flag; this watcher turns it into a stop of whatever is running.
        std::thread watcher([&simulator] {
            while (!simulator.Stopping()) {
                if (interrupted)
                    simulator.Stop();
                usleep(50 * 1000);
            }
        });
        ok = simulator.Run(commands);
        if (ok && options.interactive)
            ok = Interactive(simulator);
        if (ok && options.hold)
            simulator.Hold();
        if (simulator.LineFailed())
            ok = false;
        simulator.Stop();
        watcher.join();
    }
    // Leave no link to a pty that is about to disappear.
    if (!options.link.empty()) {
        char target[4096] = {};
        const ssize_t length = readlink(options.link.c_str(), target, sizeof target - 1);
        if (length > 0 && line->Path() == std::string(target, static_cast<std::size_t>(length)))
            unlink(options.link.c_str());
    }
    if (interrupted)
        return 0;
    return ok ? 0 : 1;
}
