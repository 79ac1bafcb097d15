// What became of a write to what is stored (the keysets, the preferences, the Run entry), or of a
// reload, as the command that asked is told: done, failed with the system's error code, or not tried
// because the lock shared with the other program could not be had in time.
#pragma once

#include "model/registry.h"

namespace qvl {

struct StoreResult {
    enum class Status { kDone, kFailed, kNotLocked };
    Status status = Status::kDone;
    long error = 0; // kFailed: the system's code for the first call that failed (-1: it gave none)

    static StoreResult Failed(RegStatus why) { return StoreResult{Status::kFailed, why.Code()}; }
    static StoreResult NotLocked() { return StoreResult{Status::kNotLocked, 0}; }
    static StoreResult Of(RegStatus status) { return status ? StoreResult() : Failed(status); }

    bool Done() const { return status == Status::kDone; }
    // Keep the first failure of several calls.
    void Note(RegStatus call) {
        if (Done() && !call)
            *this = Failed(call);
    }
    void Note(const StoreResult& part) {
        if (Done())
            *this = part;
    }
};

} // namespace qvl
