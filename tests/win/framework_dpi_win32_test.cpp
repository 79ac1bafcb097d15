// Pictures scale with the dialogs they sit in. The DPI a program gets is the value "LogPixels" under
// the current user's "Control Panel\Desktop" when it starts (Wine reads it at every program start;
// Windows at log-on), so each DPI is tried in a peer program started after setting it.
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace qvl {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// Sets LogPixels for the programs started while it lives, and puts back what was there.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        hadOld_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
                  ERROR_SUCCESS;
        Set(dpi);
    }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;
    ~LogPixels() {
        if (hadOld_)
            Set(old_);
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }
    void Set(DWORD dpi) {
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool hadOld_ = false;
};

struct Measured {
    int dpi = 0;
    long buttonWidth = 0, buttonHeight = 0, formWidth = 0, formHeight = 0;
};

std::optional<Measured> MeasureAt(LogPixels& setting, DWORD dpi) {
    setting.Set(dpi);
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "qvl_dpi_form.txt";
    DeleteFileA(file.c_str());
    if (wintest::RunProgram("dpi_form_peer.exe", "\"" + file + "\"") != std::optional<DWORD>(0))
        return std::nullopt;
    Measured result;
    FILE* in = std::fopen(file.c_str(), "r");
    if (in == nullptr)
        return std::nullopt;
    const int read = std::fscanf(in, "%d %ld %ld %ld %ld", &result.dpi, &result.buttonWidth, &result.buttonHeight,
                                 &result.formWidth, &result.formHeight);
    std::fclose(in);
    DeleteFileA(file.c_str());
    return read == 5 ? std::optional<Measured>(result) : std::nullopt;
}

TEST(FrameworkDpi, APictureButtonAt192DpiIsTwiceItsSizeAt96LikeTheFormAroundIt) {
    LogPixels setting(96);
    const std::optional<Measured> normal = MeasureAt(setting, 96);
    const std::optional<Measured> doubled = MeasureAt(setting, 192);
    ASSERT_TRUE(normal && doubled);
    ASSERT_EQ(normal->dpi, 96);
    ASSERT_EQ(doubled->dpi, 192);
    EXPECT_EQ(normal->buttonWidth, 12); // the picture's own size
    EXPECT_EQ(normal->buttonHeight, 8);
    EXPECT_NEAR(doubled->buttonWidth, 2 * normal->buttonWidth, 1);
    EXPECT_NEAR(doubled->buttonHeight, 2 * normal->buttonHeight, 1);
    // The form grew by its dialog units, which follow the font: about twice, not exactly.
    EXPECT_NEAR(static_cast<double>(doubled->formWidth) / normal->formWidth, 2.0, 0.25);
    EXPECT_NEAR(static_cast<double>(doubled->formHeight) / normal->formHeight, 2.0, 0.25);
}

} // namespace
} // namespace qvl
