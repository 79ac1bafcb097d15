// The editor's main window: 552 by 356 pixels at 96 DPI (and as much more as the screen's DPI is
// higher, so that the panel, which grows with the DPI by its dialog units, still fits; and larger where
// the dialog font measures wider than the form was laid out for: the form view grows it), no sizing
// border and no maximize box. Its title is "Quorvel 2" and stays so (the document's name is never
// added): the driver finds the editor by it.
#pragma once

#include "framework/dpi.h"
#include "framework/frame_window.h"

namespace qvl {

constexpr const char* kMainFrameClass = "QVL2MainFrame";
constexpr int kMainFrameWidth = 552;
constexpr int kMainFrameHeight = 356;

class CMainFrame : public framework::FrameWindow {
protected:
    void PreCreateWindow(framework::FrameCreateParams& params) override {
        params.className = kMainFrameClass;
        params.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        const int dpi = framework::ScreenDpi();
        params.width = framework::ScaleForDpi(kMainFrameWidth, dpi);
        params.height = framework::ScaleForDpi(kMainFrameHeight, dpi);
    }
};

} // namespace qvl
