// The registry's own change notification on "Keysets" and everything under it, whoever writes there.
// Asking whether anything was written costs nothing when nobody wrote, which lets a reload skip the
// registry then; and it tells a program of writes that the writers' record of changes does not list.
#pragma once

#include <functional>
#include <string>

namespace qvl {

class KeysetWatch {
public:
    KeysetWatch() = default;
    KeysetWatch(const KeysetWatch&) = delete;
    KeysetWatch& operator=(const KeysetWatch&) = delete;
    virtual ~KeysetWatch() = default;
    // Watch the key `path` under the current user: only what is written from now on counts.
    virtual void Arm(const std::string& path) = 0;
    // Whether anything under the key was written since the last Arm. True too when the key is not
    // watched (before the first Arm, or when it could not be opened): a reader never takes "cannot
    // tell" for "nobody wrote".
    virtual bool Changed() = 0;
    // From now on call `written` on a thread of the watch's own soon after something is written under
    // the key; it is expected to Arm the watch again, and is not called again before. An empty
    // function ends the calls, after waiting for one under way.
    virtual void OnWritten(std::function<void()> written) = 0;
};

} // namespace qvl
