// Plays commands on the line and logs both directions: what the device sends ("tx") and every byte
// the driver sends back ("rx"). Sending is paced at the line's real rate unless told otherwise, so a
// burst of wheel steps arrives as a real device would send it.
#pragma once

#include "tools/qvl2sim/sim_line.h"
#include "tools/qvl2sim/sim_script.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace qvl::sim {

// 2400 baud, 10 bits a byte with start and stop bit: 4.17 ms a byte, 8.33 ms a message.
constexpr std::chrono::microseconds kByteTime{4167};

class Simulator {
public:
    Simulator(SimLine& line, std::FILE* log, bool pace);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    ~Simulator();

    // Run commands in order; false when one failed (an expectation not met, the line gone) or the
    // simulator was stopped.
    bool Run(const std::vector<SimCommand>& commands);
    bool RunOne(const SimCommand& command);
    // Wait until Stop or until the line fails.
    void Hold();
    // Ask Run and Hold to return (from a signal handler's flag watcher or another thread).
    void Stop() { stopping_ = true; }
    bool Stopping() const { return stopping_.load(); }
    bool LineFailed() const { return lineFailed_.load(); }
    void Note(const std::string& text);

private:
    void ReadLoop();
    bool Send(const SimCommand& command);
    bool Expect(std::uint8_t byte, int timeoutMs);
    void Log(const char* direction, const std::vector<std::uint8_t>& bytes, const std::string& meaning);

    SimLine& line_;
    std::FILE* log_;
    bool pace_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lineFree_;
    std::mutex logLock_;

    std::mutex receivedLock_;
    std::condition_variable receivedChanged_;
    std::vector<std::uint8_t> received_;
    std::size_t expectCursor_ = 0;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> lineFailed_{false};
    std::thread reader_;
};

} // namespace qvl::sim
