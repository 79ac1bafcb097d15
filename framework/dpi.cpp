#include "framework/dpi.h"

#include "framework/image_scale.h"

#include <cstring>

namespace qvl::framework {

namespace {

// A 32-bit top-down DIB header for `width` x `height`.
BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The pixels of `bitmap` as 32-bit values, whatever its own format.
Image ReadPixels(HBITMAP bitmap) {
    Image image;
    BITMAP header = {};
    if (GetObjectA(bitmap, sizeof header, &header) == 0 || header.bmWidth <= 0 || header.bmHeight <= 0)
        return image;
    image.width = header.bmWidth;
    image.height = header.bmHeight;
    image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    BITMAPINFO info = TopDownInfo(image.width, image.height);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != image.height)
        image = Image{};
    return image;
}

GdiObjectHandle MakeBitmap(const Image& image) {
    BITMAPINFO info = TopDownInfo(image.width, image.height);
    void* bits = nullptr;
    GdiObjectHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap.Valid() && bits != nullptr)
        std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof image.pixels[0]);
    return bitmap;
}

} // namespace

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int ScaleForDpi(int value, int dpi) {
    return MulDiv(value, dpi, kDesignDpi);
}

GdiObjectHandle LoadBitmapForDpi(HINSTANCE instance, const std::string& name, int dpi) {
    GdiObjectHandle loaded(LoadBitmapA(instance, name.c_str()));
    if (!loaded.Valid() || dpi == kDesignDpi)
        return loaded;
    const Image original = ReadPixels(static_cast<HBITMAP>(loaded.Get()));
    const Image scaled = ScaleImage(original, ScaleForDpi(original.width, dpi), ScaleForDpi(original.height, dpi));
    if (scaled.pixels.empty())
        return loaded; // unscaled beats none
    GdiObjectHandle result = MakeBitmap(scaled);
    return result.Valid() ? std::move(result) : std::move(loaded);
}

} // namespace qvl::framework
