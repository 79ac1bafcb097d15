// What both programs tell Windows about themselves, as built: the version resource that Explorer and
// the installed-programs list show, and the manifest's DPI awareness.
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace qvl {
namespace {

std::string VersionText(const std::vector<char>& block, const std::string& name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904E4\\" + name;
    return VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ? value : "-";
}

TEST(ProgramResources, BothProgramsCarryTheProjectVersionAndDeclareDpiAwareness) {
    for (const auto& [file, description] :
         {std::pair{"QVL2.exe", "Quorvel 2 keyset editor"}, std::pair{"qvl2rs.exe", "Quorvel 2 driver"}}) {
        const std::string path = wintest::ProgramFolder() + file;
        std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), nullptr));
        ASSERT_FALSE(block.empty()) << file;
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        EXPECT_EQ(VersionText(block, "CompanyName"), "Vendrake Electronics") << file;
        EXPECT_EQ(VersionText(block, "ProductName"), "QVL2") << file;
        EXPECT_EQ(VersionText(block, "FileDescription"), description);
        EXPECT_EQ(VersionText(block, "ProductVersion"), QVL_PROJECT_VERSION) << file;

        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        const std::string text =
            manifest == nullptr ? ""
                                : std::string(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                                              SizeofResource(module, manifest));
        FreeLibrary(module);
        EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos) << file << ": " << text;
    }
}

} // namespace
} // namespace qvl
