// The one message-box adapter of both programs: boxes with the program's title, modal to the calling
// thread, owned by whatever window `owner` names when one is shown, or by the modal window it has up
// (framework::ModalOwner; so the user answers them before going on in that window), or by none.
#pragma once

#include "base/message_boxes.h"
#include "framework/dialog.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

namespace qvl {

class Win32MessageBoxes final : public MessageBoxes {
public:
    // `title` is the caption of boxes shown without one of their own; no `owner`: boxes without one.
    explicit Win32MessageBoxes(std::string title, std::function<HWND()> owner = nullptr)
        : title_(std::move(title)), owner_(std::move(owner)) {}
    void Show(const char* text, const char* caption, MessageIcon icon) override;
    // A Yes/No question under the program's title; true for Yes.
    bool Ask(const std::string& text);
    const std::string& Title() const { return title_; }

private:
    HWND Owner() const { return owner_ ? framework::ModalOwner(owner_()) : nullptr; }

    std::string title_;
    std::function<HWND()> owner_;
};

} // namespace qvl
