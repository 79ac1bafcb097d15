#include "stop_signal_win32.h"

namespace qvl::e2e {

bool StopSignal::WatchEvent(const std::string& eventName) {
    event_ = KernelHandle(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    return event_.Valid();
}

const char* StopSignal::Asked() const {
    if (event_.Valid() && WaitForSingleObject(event_.Get(), 0) == WAIT_OBJECT_0)
        return "event";
    if (!file_.empty() && GetFileAttributesA(file_.c_str()) != INVALID_FILE_ATTRIBUTES)
        return "file";
    return nullptr;
}

} // namespace qvl::e2e
