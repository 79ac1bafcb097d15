// What both programs tell Windows about themselves, as built: the version resource Explorer and the
// installed-programs list show, and the manifest's DPI awareness.
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace qvl {
namespace {

std::string VersionText(const std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
        return "(missing)";
    return std::string(value);
}

std::string ManifestOf(const std::string& file) {
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return {};
    std::string text;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        HGLOBAL loaded = LoadResource(module, found);
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

TEST(ProgramResources, BothProgramsCarryTheProjectVersionAndDeclareDpiAwareness) {
    const struct {
        const char* file;
        const char* description;
    } programs[] = {{"QVL2.exe", "Quorvel 2 keyset editor"}, {"qvl2rs.exe", "Quorvel 2 driver"}};
    for (const auto& program : programs) {
        const std::string path = wintest::ProgramFolder() + program.file;
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        ASSERT_FALSE(block.empty()) << program.file;
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        EXPECT_EQ(VersionText(block, "CompanyName"), "Vendrake Electronics") << program.file;
        EXPECT_EQ(VersionText(block, "ProductName"), "QVL2") << program.file;
        EXPECT_EQ(VersionText(block, "FileDescription"), program.description);
        EXPECT_EQ(VersionText(block, "ProductVersion"), QVL_PROJECT_VERSION) << program.file;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        const std::string numeric = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(numeric, QVL_PROJECT_VERSION) << program.file;

        const std::string manifest = ManifestOf(path);
        EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << program.file << ": " << manifest;
    }
}

} // namespace
} // namespace qvl
