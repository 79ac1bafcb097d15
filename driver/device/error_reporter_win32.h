// Reports of the serial link for a user: the debugger output, message boxes, and the end of the
// process after a failure the link cannot go on from.
#pragma once

#include "base/system_error_text_win32.h"
#include "driver/device/error_reporter.h"

#include <functional>
#include <memory>

namespace qvl {

class Win32ErrorReporter final : public ErrorReporter {
public:
    Win32ErrorReporter();
    ~Win32ErrorReporter() override;

    void DebugOutput(const std::string& text) override;
    // Each box runs on a thread of its own, so the caller (often the reader thread) goes on at once.
    void ShowMessage(const std::string& text, const char* caption) override;
    // Waits until every box has been answered, so the user sees why the driver ends.
    void EndProcess(int exitCode) override;
    // What the program must do before it ends this way (remove its tray icon); called on the thread
    // that ends it.
    void SetBeforeEnd(std::function<void()> beforeEnd) { beforeEnd_ = std::move(beforeEnd); }

    struct OpenBoxes;

private:
    std::shared_ptr<OpenBoxes> openBoxes_;
    std::function<void()> beforeEnd_;
};

} // namespace qvl
