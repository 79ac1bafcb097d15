// Looking for the device on every port at once: each port that can be opened is set up as for the
// device and read, and nothing is written to any of them (a device of another kind on one of them
// must not get the start byte). The first port a whole press arrives on (CPortFinder) is the device's.
#pragma once

#include <vector>

namespace qvl {

// Told the device's port: once per listening, on the listener's own thread, after it has closed every
// port (the finding one too, which its new owner opens again).
class PortFoundSink {
public:
    PortFoundSink() = default;
    PortFoundSink(const PortFoundSink&) = delete;
    PortFoundSink& operator=(const PortFoundSink&) = delete;
    virtual ~PortFoundSink() = default;
    virtual void OnPortFound(int port) = 0;
};

class PortListener {
public:
    PortListener() = default;
    PortListener(const PortListener&) = delete;
    PortListener& operator=(const PortListener&) = delete;
    virtual ~PortListener() = default;
    // Listen on every port of `ports` (COM numbers) that can be opened, after ending a listening
    // under way; the ports it listens on, in the order given. Listening goes on with none.
    virtual std::vector<int> Listen(const std::vector<int>& ports) = 0;
    // Stop listening and close every port; nothing is read once it returns.
    virtual void Stop() = 0;
    virtual bool Listening() const = 0;
};

} // namespace qvl
