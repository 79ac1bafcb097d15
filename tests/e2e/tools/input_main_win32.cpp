// qvl_input: injects input events with SendInput, one per step, in the order given (see
// input_script.h for the steps). A test uses it to put a known sequence into the session's input
// stream and checks what the probe saw.
//   qvl_input STEP...
// Exit code 0 when every step was accepted by the system, 1 when one was refused, 2 on a bad step.
#include "input_script.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

using qvl::e2e::InputStep;

DWORD ButtonFlag(InputStep::Button button, bool up) {
    switch (button) {
        case InputStep::Button::kLeft:
            return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
        case InputStep::Button::kRight:
            return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
        case InputStep::Button::kMiddle:
            return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    }
    return 0;
}

INPUT ToInput(const InputStep& step) {
    INPUT input = {};
    if (step.kind == InputStep::Kind::kKey) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(step.vk);
        input.ki.dwFlags = (step.up ? KEYEVENTF_KEYUP : 0) | (step.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        return input;
    }
    if (step.kind == InputStep::Kind::kChar) {
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<WORD>(step.vk);
        input.ki.dwFlags = KEYEVENTF_UNICODE | (step.up ? KEYEVENTF_KEYUP : 0);
        return input;
    }
    input.type = INPUT_MOUSE;
    switch (step.kind) {
        case InputStep::Kind::kMove:
            input.mi.dx = step.x;
            input.mi.dy = step.y;
            input.mi.dwFlags = MOUSEEVENTF_MOVE;
            break;
        case InputStep::Kind::kAbsolute:
            input.mi.dx = step.x;
            input.mi.dy = step.y;
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            break;
        case InputStep::Kind::kButton:
            input.mi.dwFlags = ButtonFlag(step.button, step.up);
            break;
        case InputStep::Kind::kWheel:
            input.mi.mouseData = static_cast<DWORD>(step.x);
            input.mi.dwFlags = MOUSEEVENTF_WHEEL;
            break;
        default:
            break;
    }
    return input;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<InputStep> steps;
    for (int i = 1; i < argc; ++i) {
        std::string error;
        const std::optional<InputStep> step = qvl::e2e::ParseInputStep(argv[i], error);
        if (!step) {
            std::fprintf(stderr, "qvl_input: %s\n", error.c_str());
            return 2;
        }
        steps.push_back(*step);
    }
    // Every step goes out on its own, as the driver sends its events, so each is its own entry in
    // the input stream.
    for (const InputStep& step : steps) {
        if (step.kind == InputStep::Kind::kCursor) {
            if (!SetCursorPos(step.x, step.y))
                return 1;
            continue;
        }
        INPUT input = ToInput(step);
        if (SendInput(1, &input, sizeof input) != 1) {
            std::fprintf(stderr, "qvl_input: SendInput refused a step (error %lu)\n", GetLastError());
            return 1;
        }
    }
    return 0;
}
