// The small system services the editor's logic reaches through ports: message boxes over the main
// window, and the driver's Run entry.
#pragma once

#include "editor/app/keyset_ui.h"
#include "editor/app/preferences.h"
#include "model/keyset_record.h"
#include "model/message_boxes.h"

#include <windows.h>

#include <functional>
#include <string>

namespace qvl {

// Boxes with the program's title, owned by whatever window `owner` names when one is shown, so the
// user answers them before going on in that window.
class OwnedMessageBoxes final : public MessageBoxes {
public:
    OwnedMessageBoxes(std::string title, std::function<HWND()> owner)
        : title_(std::move(title)), owner_(std::move(owner)) {}
    void Show(const char* text, const char* caption, MessageIcon icon) override;
    // A Yes/No question; true for Yes.
    bool Ask(const std::string& text);
    const std::string& Title() const { return title_; }

private:
    std::string title_;
    std::function<HWND()> owner_;
};

// The value "qvl2rs" under the current user's Run key.
class RunKeyEntry final : public AutostartEntry {
public:
    bool Write(const std::string& commandLine) override;
    bool Remove() override;
};

// The full path of the running program, however long.
std::string ModulePath(HMODULE module);

} // namespace qvl
