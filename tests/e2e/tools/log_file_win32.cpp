#include "log_file_win32.h"

#include <cstdio>

namespace qvl::e2e {

bool LogFile::Open(const std::string& path) {
    file_ =
        KernelHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.Valid();
}

void LogFile::Write(const LogLine& line) {
    const std::string text = line.Str() + "\n";
    if (file_.Valid()) {
        DWORD written = 0;
        WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    if (echo_) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
}

} // namespace qvl::e2e
