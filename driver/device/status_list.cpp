#include "driver/device/status_list.h"

namespace qvl {

void CStatusList::Reset() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        notes_.clear();
        count_ = 0;
    }
    Append(kStatusListStart);
}

std::string CStatusList::Append(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    ++count_;
    std::string note = std::to_string(count_) + ":" + text;
    if (notes_.size() == kMaxNotes)
        notes_.pop_front();
    notes_.push_back(note);
    return note;
}

std::vector<std::string> CStatusList::Notes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::vector<std::string>(notes_.begin(), notes_.end());
}

int CStatusList::Count() const {
    std::lock_guard<std::mutex> hold(lock_);
    return count_;
}

} // namespace qvl
