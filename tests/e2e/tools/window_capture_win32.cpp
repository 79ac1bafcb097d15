#include "window_capture_win32.h"

#include "base/unique_handle_win32.h"

#include <cstdio>
#include <memory>

namespace qvl::e2e {

bool CaptureWindow(HWND window, const char* path, SIZE& size) {
    RECT rect = {};
    if (!IsWindow(window) || !GetWindowRect(window, &rect))
        return false;
    size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = size.cx;
    header.biHeight = -size.cy; // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObjectHandle picture(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    // Only what lies on the screen can be copied (the X server refuses the whole copy otherwise): a
    // window larger than the screen keeps black where it is off it.
    RECT shown = {};
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bool copied = false;
    if (picture.Valid() && memory != nullptr && IntersectRect(&shown, &rect, &screenRect)) {
        HGDIOBJ old = SelectObject(memory, picture.Get());
        copied = BitBlt(memory, shown.left - rect.left, shown.top - rect.top, shown.right - shown.left,
                        shown.bottom - shown.top, screen, shown.left, shown.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (memory != nullptr)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied)
        return false;

    const DWORD pixelBytes = static_cast<DWORD>(size.cx) * static_cast<DWORD>(size.cy) * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + pixelBytes;
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path, "wb"), std::fclose);
    return out != nullptr && std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, out.get()) == 1 && std::fwrite(bits, pixelBytes, 1, out.get()) == 1;
}

} // namespace qvl::e2e
