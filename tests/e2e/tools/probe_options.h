// The command line of qvl_probe:
//   qvl_probe --log PATH [--title TEXT] [--class NAME] [--rect X,Y,W,H]
//             [--child CLASS:TITLE[:X,Y,W,H]]... [--focus N] [--moves] [--menu ITEMS]
//             [--stop-event NAME] [--stop-file PATH] [--no-hooks]
// --child adds a child window (a class of the system such as "Edit", or any other name, which the
// probe registers itself) at a point of the main window's client area; --focus N gives the keyboard
// focus to the N-th child (0, the default: the main window); --moves also logs the window's own
// WM_MOUSEMOVE messages (the hook logs every move anyway). --menu gives the probe a pop-up menu
// like a tray program's: ITEMS separated by '|', "-" for a separator; the item at position P has
// the command P + 1. --no-hooks installs no low-level hooks: a probe that is to stop answering
// (kHangMessage) must not hold the session's input up with them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qvl::e2e {

struct ProbeRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ChildOption {
    std::string className;
    std::string title;
    std::optional<ProbeRect> rect;
};

struct ProbeOptions {
    std::string logPath;
    std::string title = "QVL Probe";
    std::string className = "QvlProbe";
    ProbeRect rect = {100, 100, 400, 300};
    std::vector<ChildOption> children;
    int focus = 0;
    bool logMoves = false;
    bool hooks = true; // --no-hooks: a window that may hang without stalling the session's input
    std::vector<std::string> menuItems;
    std::string stopEvent;
    std::string stopFile;
};

std::optional<ProbeOptions> ParseProbeOptions(int argc, char** argv, std::string& error);

// Where a child goes when its option names no place: one under the other, near the top left.
ProbeRect DefaultChildRect(int index);

} // namespace qvl::e2e
