// The driver's question in a system-modal message box, asked from the device's thread.
#pragma once

#include "driver/output/user_question.h"

#include <atomic>
#include <string>
#include <utility>

namespace qvl {

class Win32UserQuestion final : public UserQuestion {
public:
    // `caption` is the box's title: the driver's name.
    explicit Win32UserQuestion(std::string caption) : caption_(std::move(caption)) {}

    void AttachInput(std::uint32_t threadId, bool attach) override;
    bool AskOkCancel(const char* text) override;
    void SetForeground(WindowId window) override;

    // From another thread: answer a question that is open with Cancel, and every later one at once,
    // until Resume. The device's thread waits in the box; the driver cancels it before it closes the
    // port, which waits for that thread.
    void CancelAll();
    void Resume() { cancelled_ = false; }

private:
    std::string caption_;
    std::atomic<bool> cancelled_{false};
    std::atomic<unsigned long> askingThread_{0}; // the thread in AskOkCancel, 0 when none
};

} // namespace qvl
