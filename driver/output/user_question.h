// The driver's one question to the user (whether the window in front should become a click's window)
// and what it takes to ask it over another program: sharing the input of the program in front, and
// giving it the foreground back afterwards.
#pragma once

#include "driver/output/desktop.h"

#include <cstdint>

namespace qvl {

class UserQuestion {
public:
    UserQuestion() = default;
    UserQuestion(const UserQuestion&) = delete;
    UserQuestion& operator=(const UserQuestion&) = delete;
    virtual ~UserQuestion() = default;

    // Attach the input of the calling thread to thread `threadId`, or detach it again.
    virtual void AttachInput(std::uint32_t threadId, bool attach) = 0;
    // Ask `text` in a system-modal box with OK and Cancel and the question icon; true for OK.
    virtual bool AskOkCancel(const char* text) = 0;
    virtual void SetForeground(WindowId window) = 0;
};

} // namespace qvl
