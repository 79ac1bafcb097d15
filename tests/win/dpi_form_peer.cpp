// The other program of the DPI test: started after the test has set the DPI that programs started from
// then on get, it opens the framework test form with its picture button as the editor opens its panel
// and writes what came out into FILE: "dpi button-width button-height form-width form-height".
//   dpi_form_peer FILE
#include "framework/bitmap_button.h"
#include "framework/dialog_window.h"
#include "framework/dpi.h"
#include "res/framework_test_resource.h"

#include <windows.h>

#include <cstdio>

namespace {

class Form : public qvl::framework::DialogWindow {
public:
    bool Open(HWND host) { return CreateFromTemplate(GetModuleHandleA(nullptr), IDD_TEST_FORM, host); }
};

SIZE SizeOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Form form;
    if (host == nullptr || !form.Open(host))
        return 3;
    qvl::framework::BitmapButton picture;
    if (!picture.AutoLoad(GetModuleHandleA(nullptr), form.Handle(), IDC_FORM_PICTURE))
        return 4;
    const SIZE button = SizeOf(picture.Handle());
    const SIZE whole = SizeOf(form.Handle());
    FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr)
        return 5;
    std::fprintf(out, "%d %ld %ld %ld %ld\n", qvl::framework::ScreenDpi(), button.cx, button.cy, whole.cx, whole.cy);
    std::fclose(out);
    DestroyWindow(host);
    return 0;
}
