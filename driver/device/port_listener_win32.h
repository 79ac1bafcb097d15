// The listener over the system's serial ports: a thread with an overlapped read pending on each port
// it could open, which feeds what arrives to a CPortFinder. Each port is set up with the device's line
// settings (the modem lines up, as the device needs them to send) and gets back its own settings when
// it is closed. The thread does every read, cancel and close itself: the ports' I/O stays on it.
//
// At most kMaxListened ports at once (the system's wait takes 64 handles, one is the stop event).
#pragma once

#include "base/unique_handle_win32.h"
#include "driver/device/port_finder.h"
#include "driver/device/port_listener.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace qvl {

class CPortListener final : public PortListener {
public:
    static constexpr std::size_t kMaxListened = MAXIMUM_WAIT_OBJECTS - 1;

    explicit CPortListener(PortFoundSink& sink);
    ~CPortListener() override;

    std::vector<int> Listen(const std::vector<int>& ports) override;
    void Stop() override;
    bool Listening() const override { return listening_.load(); }

private:
    struct Line;
    // Open and set up port `number`; null when it cannot be (missing, in use, not a serial port).
    static std::unique_ptr<Line> Open(int number);
    void Run();
    // Start the read of line `index`; false when the port refuses it (that line is then left out).
    bool StartRead(std::size_t index);
    // The read of line `index` completed: its bytes to the finder. True once the device is found.
    bool Completed(std::size_t index);
    // Cancel what is pending, give every port its settings back and close it (on the thread).
    void CloseAll();

    PortFoundSink& sink_;
    std::vector<std::unique_ptr<Line>> lines_;
    std::unique_ptr<CPortFinder> finder_;
    KernelHandle stop_; // manual reset
    std::thread thread_;
    std::atomic<bool> listening_{false};
};

} // namespace qvl
