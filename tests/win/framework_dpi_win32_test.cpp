// Pictures scale with the dialogs they sit in. The DPI a program gets is the value "LogPixels" under
// the current user's "Control Panel\Desktop" when it starts (Wine reads it at every program start;
// Windows at log-on), so each DPI is tried in a peer program started after setting it.
#include "framework/dpi.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace qvl {
namespace {

// The DPI the next program gets; the prefix's (or machine's) own value is put back at the end.
class LogPixels {
public:
    LogPixels() { hadOld_ = RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_DWORD, nullptr, &old_, &size_) == 0; }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;
    ~LogPixels() {
        if (hadOld_)
            Set(old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
    }
    void Set(DWORD dpi) { RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi); }

private:
    static constexpr const char* kKey = "Control Panel\\Desktop";
    static constexpr const char* kValue = "LogPixels";
    DWORD old_ = 0;
    DWORD size_ = sizeof old_;
    bool hadOld_ = false;
};

// What the peer measured at `dpi`: dpi, button width and height, form width and height.
std::vector<long> MeasureAt(LogPixels& setting, DWORD dpi) {
    setting.Set(dpi);
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "qvl_dpi_form.txt";
    DeleteFileA(file.c_str());
    std::vector<long> values;
    if (wintest::RunProgram("dpi_form_peer.exe", "\"" + file + "\"") != std::optional<DWORD>(0))
        return values;
    std::ifstream in(file);
    for (long value = 0; in >> value;)
        values.push_back(value);
    in.close();
    DeleteFileA(file.c_str());
    return values;
}

TEST(FrameworkDpi, APictureButtonAt192DpiIsTwiceItsSizeAt96LikeTheFormAroundIt) {
    LogPixels setting;
    const std::vector<long> normal = MeasureAt(setting, 96), doubled = MeasureAt(setting, 192);
    ASSERT_EQ(normal.size(), 5u);
    ASSERT_EQ(doubled.size(), 5u);
    ASSERT_EQ(normal[0], 96);
    ASSERT_EQ(doubled[0], 192);
    EXPECT_EQ(normal[1], 12); // the picture's own size
    EXPECT_EQ(normal[2], 8);
    EXPECT_NEAR(doubled[1], 2 * normal[1], 1);
    EXPECT_NEAR(doubled[2], 2 * normal[2], 1);
    // The form grew by its dialog units, which follow the font: about twice, not exactly.
    EXPECT_NEAR(static_cast<double>(doubled[3]) / normal[3], 2.0, 0.25);
    EXPECT_NEAR(static_cast<double>(doubled[4]) / normal[4], 2.0, 0.25);
}

SIZE ShownPicture(HWND control) {
    BITMAP info = {};
    const auto shown = reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown == nullptr || GetObjectA(shown, sizeof info, &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

// A picture static scaled again (the same DPI, another, back to 96) shows its template's picture at that
// DPI each time: never a scaled copy scaled again, never a picture already freed.
TEST(FrameworkDpi, PictureStaticsScaleAgainFromTheirOwnPicture) {
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    HWND control =
        CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BITMAP, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(LoadBitmapA(GetModuleHandleA(nullptr), "PICU"))); // 12 x 8
    {
        framework::StaticPictures pictures;
        const struct {
            int dpi;
            LONG width, height;
        } steps[] = {{192, 24, 16}, {192, 24, 16}, {144, 18, 12}, {96, 12, 8}, {192, 24, 16}};
        for (const auto& step : steps) {
            pictures.ScaleForDpi(host, step.dpi);
            const SIZE shown = ShownPicture(control);
            EXPECT_EQ(shown.cx, step.width) << step.dpi;
            EXPECT_EQ(shown.cy, step.height) << step.dpi;
        }
    }
    DestroyWindow(host);
}

} // namespace
} // namespace qvl
