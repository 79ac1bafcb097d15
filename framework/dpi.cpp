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

GdiObjectHandle ScaleBitmapForDpi(HBITMAP bitmap, int dpi) {
    if (bitmap == nullptr || dpi == kDesignDpi)
        return GdiObjectHandle();
    const Image original = ReadPixels(bitmap);
    const Image scaled = ScaleImage(original, ScaleForDpi(original.width, dpi), ScaleForDpi(original.height, dpi));
    if (scaled.pixels.empty())
        return GdiObjectHandle();
    return MakeBitmap(scaled);
}

GdiObjectHandle LoadBitmapForDpi(HINSTANCE instance, const std::string& name, int dpi) {
    GdiObjectHandle loaded(LoadBitmapA(instance, name.c_str()));
    GdiObjectHandle scaled = ScaleBitmapForDpi(static_cast<HBITMAP>(loaded.Get()), dpi);
    return scaled.Valid() ? std::move(scaled) : std::move(loaded); // unscaled beats none
}

StaticPictures::Picture* StaticPictures::Find(HWND control) {
    for (Picture& picture : pictures_)
        if (picture.control == control)
            return &picture;
    return nullptr;
}

void StaticPictures::ScaleForDpi(HWND dialog, int dpi) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        Picture* picture = Find(child);
        if (picture == nullptr) {
            if (dpi == kDesignDpi)
                continue; // the template's picture is the right one, and stays the static's
            const auto shown = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
            if (shown == nullptr)
                continue;
            pictures_.push_back(Picture{child, GdiObjectHandle(shown), GdiObjectHandle()});
            picture = &pictures_.back();
        }
        // Always from the template's picture, so that scaling again does not scale a scaled copy.
        GdiObjectHandle scaled = ScaleBitmapForDpi(static_cast<HBITMAP>(picture->original.Get()), dpi);
        const HGDIOBJ show = scaled.Valid() ? scaled.Get() : picture->original.Get();
        // The static sizes itself to the new picture and hands back the one it showed: ours (freed here
        // once it is no longer shown), or a copy it made of a picture with alpha, which is ours to free.
        const auto previous =
            reinterpret_cast<HGDIOBJ>(SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(show)));
        if (previous != nullptr && previous != picture->original.Get() && previous != picture->scaled.Get())
            GdiObjectHandle copy(previous);
        picture->scaled = std::move(scaled);
    }
}

} // namespace qvl::framework
