// Message boxes without an owner window (or with the one given), modal to the calling thread.
#pragma once

#include "base/message_boxes.h"

#include <string>
#include <utility>

namespace qvl {

class Win32MessageBoxes final : public MessageBoxes {
public:
    // `title` is the caption of boxes shown without one of their own; `owner` is an HWND or null.
    explicit Win32MessageBoxes(std::string title, void* owner = nullptr) : title_(std::move(title)), owner_(owner) {}
    void Show(const char* text, const char* caption, MessageIcon icon) override;

private:
    std::string title_;
    void* owner_;
};

} // namespace qvl
