// The "Key Press:" field: a hot-key control that asks for the assignment to be saved once a key is
// released in it (the control has its final key and modifiers only then), and that ignores the right
// mouse button.
#pragma once

#include "framework/controls.h"

#include <functional>

namespace qvl {

class CKeyCaptureCtrl : public framework::HotKey {
public:
    explicit CKeyCaptureCtrl(std::function<void()> onKeyReleased) : onKeyReleased_(std::move(onKeyReleased)) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void()> onKeyReleased_;
};

} // namespace qvl
