// How long a program takes from its process start to a control of its window showing a text, seen
// from the process that started it: no helper process is started while it waits, so the figure is
// not rounded up to a tool's start as polling from the harness is.
#pragma once

#include <string>

namespace qvl::e2e {

struct StartTimingRequest {
    std::string program;    // the program, by its absolute Windows path
    std::string frameClass; // the class of its top-level window
    int controlId = 0;      // the control inside it, by its id, at any depth
    std::string text;       // the text the control must show
    int timeoutMs = 60000;
};

// Starts the program, waits for the text, then closes the window (WM_CLOSE) and waits for the
// program to end. Prints log lines: "started" (t, frequency, pid), "window" (t, hwnd), "shown" (t, us:
// microseconds since the start), "ended" (status). 0 when the text was shown and the program ended, else 1.
int TimeStart(const StartTimingRequest& request);

} // namespace qvl::e2e
