// A message-box fake that records every box instead of showing it.
#pragma once

#include "base/message_boxes.h"

#include <string>
#include <vector>

namespace qvl::fakes {

struct ShownBox {
    std::string text;
    std::string caption; // empty: the program's own title
    MessageIcon icon;
};

class RecordingMessageBoxes final : public MessageBoxes {
public:
    void Show(const char* text, const char* caption, MessageIcon icon) override {
        shown.push_back({text, caption != nullptr ? caption : "", icon});
    }
    std::vector<ShownBox> shown;
};

} // namespace qvl::fakes
