// What a window shows on the screen, as a picture file: the scenarios compare pictures drawn at
// different DPIs pixel by pixel.
#pragma once

#include <windows.h>

namespace qvl::e2e {

// Copy the screen under `window`'s rectangle into `path` as a 32-bit top-down BMP, black where the
// window is off the screen; its size in `size`. False when the window is gone, wholly off the screen,
// or the file could not be written.
bool CaptureWindow(HWND window, const char* path, SIZE& size);

} // namespace qvl::e2e
