// The driver's question in a system-modal message box, asked from the device's thread.
#pragma once

#include "driver/output/user_question.h"

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

private:
    std::string caption_;
};

} // namespace qvl
