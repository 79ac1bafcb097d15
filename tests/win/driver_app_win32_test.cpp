// The driver program's own pieces against the real system: its resources as built into qvl2rs.exe,
// the click-window question cancelled from another thread, and the trace file.
#include "win_test_support.h"

#include "base/unique_handle_win32.h"
#include "driver/core/trace_file_win32.h"
#include "driver/output/user_question_win32.h"
#include "driver/res/resource.h"
#include "framework/menu.h"
#include "framework/string_table.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

namespace qvl {
namespace {

// qvl2rs.exe, loaded for its resources only.
class DriverResources {
public:
    DriverResources()
        : module_(
              LoadLibraryExA((wintest::ProgramFolder() + "qvl2rs.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    DriverResources(const DriverResources&) = delete;
    DriverResources& operator=(const DriverResources&) = delete;
    ~DriverResources() {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    HINSTANCE Get() const { return module_; }

private:
    HMODULE module_;
};

TEST(DriverResources, TheTrayMenuHoldsTheCommandsByPosition) {
    DriverResources driver;
    ASSERT_NE(driver.Get(), nullptr);
    MenuHandle menu = framework::LoadMenuResource(driver.Get(), 130);
    HMENU popup = framework::SubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 6);
    // Find Device right after Disable: the items above it keep their places from the top, those below
    // from the bottom.
    const struct {
        const char* text;
        UINT id;
    } items[] = {{"Open QVL2 Editor", 32773}, {"", 0},        {"Disable QVL2", 32774}, {"Find Device", 32776},
                 {"Reload Driver", 32771},    {"Exit", 32772}};
    for (UINT position = 0; position < 6; ++position) {
        EXPECT_EQ(framework::MenuItemText(popup, position), items[position].text) << position;
        EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(position)), items[position].id) << position;
    }
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(popup, 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);

    // What the driver puts at position 2 while it is disabled.
    ASSERT_TRUE(framework::ReplaceMenuItem(popup, TRAY_POS_TOGGLE, ID_ENABLE,
                                           framework::LoadResourceString(driver.Get(), IDS_ENABLE)));
    EXPECT_EQ(framework::MenuItemText(popup, 2), "Enable QVL2");
    EXPECT_EQ(GetMenuItemID(popup, 2), 32775u);
    EXPECT_EQ(GetMenuItemCount(popup), 6);
}

TEST(DriverResources, TheStringTableHoldsTheDriversTexts) {
    DriverResources driver;
    ASSERT_NE(driver.Get(), nullptr);
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
        {1, "The window which was supposed to receive this click, \"%1\" is not open. If this happens in the "
            "future, do you want the click to occur in the window \"%2\"?"},
        {2, "Default"},
        {3, "Disable QVL2"},
        {4, "Enable QVL2"},
        {6, "Could not connect the QVL2 to the specified Communication Port, %1: %2. Press a button on the Quorvel 2 "
            "and QVL2 will find the port it is on, or right click on the QVL icon, point to \"Use Open QVL2 "
            "Editor\", select Edit_Preferences and choose another port."},
        {9, "The QVL2 on %1 is not answering; QVL2 will reconnect when it is back."},
        {10, "The QVL2 on %1 is connected."},
        {11, "QVL 2 - %1 - %2"},
        {12, "QVL 2 - %1 not connected, retrying"},
        {13, "QVL 2 - disabled"},
        {14, "QVL 2 - press a button on the Quorvel 2 to find it"},
        {15, "Quorvel 2 found on %1"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(framework::LoadResourceString(driver.Get(), s.id), s.text) << s.id;
    // None of the control names a keyset's defaults ask for: a keyset the driver makes has them empty.
    for (UINT id : {129u, 61204u, 61216u, 61223u})
        EXPECT_EQ(framework::LoadResourceString(driver.Get(), id), "") << id;
}

TEST(DriverResources, TheTrayIconHasASmallAndALargeImage) {
    DriverResources driver;
    ASSERT_NE(driver.Get(), nullptr);
    // The icon and its disconnected variant.
    for (int id : {135, 136}) {
        for (int size : {16, 32}) {
            IconHandle icon(
                static_cast<HICON>(LoadImageA(driver.Get(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
            ASSERT_TRUE(icon.Valid()) << id << " " << size;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
            BITMAP bitmap = {};
            GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            EXPECT_EQ(bitmap.bmHeight, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
}

// The message boxes of thread `thread`: the question, when it is up.
HWND BoxOfThread(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM context) {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) == "#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(context) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A question asked on a thread of its own, as the port's reader asks it.
struct AskingThread {
    explicit AskingThread(Win32UserQuestion& question) {
        std::promise<DWORD> id;
        threadId = id.get_future();
        answer = std::async(std::launch::async, [&question, promise = std::move(id)]() mutable {
            promise.set_value(GetCurrentThreadId());
            return question.AskOkCancel("Use \"Mixer\" from now on?");
        });
    }
    HWND WaitForBox() {
        const DWORD thread = threadId.get();
        HWND box = nullptr;
        wintest::WaitUntil([&] { return (box = BoxOfThread(thread)) != nullptr; });
        return box;
    }
    std::future<DWORD> threadId;
    std::future<bool> answer;
};

// The driver's Exit and Disable wait for the reader thread, which may be waiting in the question:
// cancelling answers it with Cancel at once, and any question asked afterwards too, until resumed.
TEST(UserQuestionWin32, CancelAllAnswersAnOpenQuestionAndLaterOnesWithCancel) {
    Win32UserQuestion question("qvl2rs");
    {
        AskingThread asking(question);
        HWND box = asking.WaitForBox();
        ASSERT_NE(box, nullptr);
        question.CancelAll();
        ASSERT_EQ(asking.answer.wait_for(std::chrono::milliseconds(wintest::kPatienceMs)), std::future_status::ready);
        EXPECT_FALSE(asking.answer.get());
        EXPECT_FALSE(IsWindow(box));
    }
    {
        AskingThread asking(question); // asked after the cancel: no box at all
        ASSERT_EQ(asking.answer.wait_for(std::chrono::milliseconds(wintest::kPatienceMs)), std::future_status::ready);
        EXPECT_FALSE(asking.answer.get());
    }
    question.Resume();
    {
        AskingThread asking(question);
        HWND box = asking.WaitForBox();
        ASSERT_NE(box, nullptr);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        ASSERT_EQ(asking.answer.wait_for(std::chrono::milliseconds(wintest::kPatienceMs)), std::future_status::ready);
        EXPECT_TRUE(asking.answer.get()) << "a question after Resume is asked and answered again";
    }
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

TEST(TraceFileWin32, OnlyWithTheVariableSetAndThenAppendingWholeLines) {
    const std::string path = TempFile("qvl2rs-trace-test.log");
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA(kTraceVariable, nullptr);
    EXPECT_EQ(Win32TraceFile::FromEnvironment(kTraceVariable), nullptr);

    SetEnvironmentVariableA(kTraceVariable, path.c_str());
    for (const char* line : {"first t=1", "second t=2"}) {
        std::unique_ptr<Win32TraceFile> trace = Win32TraceFile::FromEnvironment(kTraceVariable);
        ASSERT_NE(trace, nullptr);
        const std::int64_t before = trace->Now();
        EXPECT_GE(trace->Now(), before);
        EXPECT_GT(trace->Frequency(), 0);
        trace->Write(line); // a second driver (Reload) goes on in the same file
    }
    SetEnvironmentVariableA(kTraceVariable, nullptr);
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "first t=1\nsecond t=2\n");
    file.close();
    DeleteFileA(path.c_str());
}

} // namespace
} // namespace qvl
