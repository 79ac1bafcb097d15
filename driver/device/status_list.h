// The serial link's status notes: a numbered record of what happened on the line ("Read aborted",
// reports of failed calls). Nothing displays it; it is there for a debugger, and bounded so that a
// driver running for weeks keeps only the most recent notes.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace qvl {

constexpr const char* kStatusListStart = "Status message go here:\r\n";

class CStatusList {
public:
    static constexpr std::size_t kMaxNotes = 1024;

    CStatusList() { Reset(); }
    CStatusList(const CStatusList&) = delete;
    CStatusList& operator=(const CStatusList&) = delete;

    // Forget every note and start again with the first one; the count restarts too.
    void Reset();
    // Append "<count>:<text>" and return it; the oldest note goes when the list is full.
    std::string Append(const std::string& text);
    std::vector<std::string> Notes() const;
    // Notes appended since the last Reset, including those that were dropped.
    int Count() const;

private:
    mutable std::mutex lock_;
    std::deque<std::string> notes_;
    int count_ = 0;
};

} // namespace qvl
