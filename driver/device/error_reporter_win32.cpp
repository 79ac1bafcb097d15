#include "driver/device/error_reporter_win32.h"

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <mutex>

namespace qvl {

// Counts the boxes still on screen; EndProcess waits for none to be left. Shared with the box threads,
// which may outlive the reporter.
struct Win32ErrorReporter::OpenBoxes {
    std::mutex lock;
    int count = 0;
    KernelHandle noneOpen{CreateEventA(nullptr, TRUE, TRUE, nullptr)};
    void Opened() {
        std::lock_guard<std::mutex> hold(lock);
        if (count++ == 0 && noneOpen)
            ResetEvent(noneOpen.Get());
    }
    void Closed() {
        std::lock_guard<std::mutex> hold(lock);
        if (--count == 0 && noneOpen)
            SetEvent(noneOpen.Get());
    }
};

namespace {

struct BoxJob {
    std::string text;
    std::string caption;
    bool hasCaption;
    std::shared_ptr<Win32ErrorReporter::OpenBoxes> openBoxes;
};

// Topmost, so that a box raised by a background thread is not hidden behind the program in front.
constexpr UINT kBoxStyle = MB_OK | MB_TOPMOST;

void ShowBox(const BoxJob& job) {
    MessageBoxA(nullptr, job.text.c_str(), job.hasCaption ? job.caption.c_str() : nullptr, kBoxStyle);
}

DWORD WINAPI BoxThread(LPVOID parameter) {
    BoxJob* job = static_cast<BoxJob*>(parameter);
    ShowBox(*job);
    job->openBoxes->Closed();
    delete job;
    return 0;
}

} // namespace

Win32ErrorReporter::Win32ErrorReporter() : openBoxes_(std::make_shared<OpenBoxes>()) {}

Win32ErrorReporter::~Win32ErrorReporter() = default;

void Win32ErrorReporter::DebugOutput(const std::string& text) {
    OutputDebugStringA(text.c_str());
}

void Win32ErrorReporter::ShowMessage(const std::string& text, const char* caption) {
    BoxJob* job = new BoxJob{text, caption != nullptr ? caption : "", caption != nullptr, openBoxes_};
    openBoxes_->Opened();
    // The box's thread runs on its own; its handle is not needed.
    if (KernelHandle(CreateThread(nullptr, 0, BoxThread, job, 0, nullptr)))
        return;
    // No thread to spare: show it here rather than not at all.
    ShowBox(*job);
    openBoxes_->Closed();
    delete job;
}

void Win32ErrorReporter::EndProcess(int exitCode) {
    if (openBoxes_->noneOpen)
        WaitForSingleObject(openBoxes_->noneOpen.Get(), INFINITE);
    if (beforeEnd_)
        beforeEnd_();
    ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace qvl
