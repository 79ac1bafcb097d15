// Messages shown to the user in a box with an OK button. The keyset file and the driver's process list
// report through this, so tests can see every box without a window.
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
