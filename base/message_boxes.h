// Messages shown to the user in a box with an OK button. The driver's process list reports through
// this port, so its tests see every box without a window; the editor's document shows its warnings
// through the same adapter (appbase/message_boxes_win32.h).
#pragma once

namespace qvl {

enum class MessageIcon { kNone, kWarning };

class MessageBoxes {
public:
    MessageBoxes() = default;
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
    virtual ~MessageBoxes() = default;
    // Show `text` and wait for OK. A null `caption` stands for the program's own title.
    virtual void Show(const char* text, const char* caption, MessageIcon icon) = 0;
};

} // namespace qvl
