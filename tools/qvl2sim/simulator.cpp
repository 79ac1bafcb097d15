#include "tools/qvl2sim/simulator.h"

#include <algorithm>

namespace qvl::sim {

namespace {
constexpr int kPollMs = 50;
} // namespace

Simulator::Simulator(SimLine& line, std::FILE* log, bool pace)
    : line_(line), log_(log), pace_(pace), started_(std::chrono::steady_clock::now()), lineFree_(started_),
      reader_([this] { ReadLoop(); }) {}

Simulator::~Simulator() {
    stopping_ = true;
    reader_.join();
}

void Simulator::ReadLoop() {
    std::uint8_t buffer[256];
    while (!stopping_) {
        const int got = line_.Read(buffer, sizeof buffer, kPollMs);
        if (got < 0) {
            lineFailed_ = true;
            Note("the line has failed");
            receivedChanged_.notify_all();
            return;
        }
        for (int i = 0; i < got; ++i)
            Log("rx", {buffer[i]}, buffer[i] == kStartByte ? "start byte" : "unknown byte");
        if (got > 0) {
            std::lock_guard<std::mutex> hold(receivedLock_);
            received_.insert(received_.end(), buffer, buffer + got);
            receivedChanged_.notify_all();
        }
    }
}

bool Simulator::Run(const std::vector<SimCommand>& commands) {
    for (const SimCommand& command : commands) {
        if (stopping_ || !RunOne(command))
            return false;
    }
    return true;
}

bool Simulator::RunOne(const SimCommand& command) {
    switch (command.kind) {
        case SimCommand::kSend:
            return Send(command);
        case SimCommand::kWait: {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(command.milliseconds);
            while (!stopping_ && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                    until - std::chrono::steady_clock::now(), std::chrono::milliseconds(kPollMs)));
            return !stopping_;
        }
        case SimCommand::kExpect:
            if (Expect(command.bytes[0], command.milliseconds))
                return true;
            {
                char text[96];
                std::snprintf(text, sizeof text, "line %d: no byte %02x from the driver within %d ms", command.line,
                              command.bytes[0], command.milliseconds);
                Note(text);
                return false;
            }
    }
    return false;
}

bool Simulator::Send(const SimCommand& command) {
    if (pace_) {
        // A message cannot start before the previous one has left the line.
        const auto now = std::chrono::steady_clock::now();
        if (lineFree_ > now)
            std::this_thread::sleep_until(lineFree_);
        lineFree_ = std::max(now, lineFree_) + kByteTime * static_cast<int>(command.bytes.size());
    }
    if (!line_.Write(command.bytes.data(), command.bytes.size())) {
        lineFailed_ = true;
        Note("cannot write to the line");
        return false;
    }
    Log("tx", command.bytes, command.description);
    return true;
}

bool Simulator::Expect(std::uint8_t byte, int timeoutMs) {
    std::unique_lock<std::mutex> hold(receivedLock_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto found =
            std::find(received_.begin() + static_cast<std::ptrdiff_t>(expectCursor_), received_.end(), byte);
        if (found != received_.end()) {
            expectCursor_ = static_cast<std::size_t>(found - received_.begin()) + 1;
            return true;
        }
        if (stopping_ || lineFailed_ || std::chrono::steady_clock::now() >= deadline)
            return false;
        receivedChanged_.wait_for(hold, std::chrono::milliseconds(kPollMs));
    }
}

void Simulator::Hold() {
    while (!stopping_ && !lineFailed_)
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
}

void Simulator::Note(const std::string& text) {
    std::lock_guard<std::mutex> hold(logLock_);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    std::fprintf(log_, "%9.3f -- %s\n", seconds, text.c_str());
    std::fflush(log_);
}

void Simulator::Log(const char* direction, const std::vector<std::uint8_t>& bytes, const std::string& meaning) {
    std::lock_guard<std::mutex> hold(logLock_);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    std::fprintf(log_, "%9.3f %s", seconds, direction);
    for (std::uint8_t b : bytes)
        std::fprintf(log_, " %02x", b);
    std::fprintf(log_, "%*s%s\n", static_cast<int>(3 * (3 - std::min<std::size_t>(bytes.size(), 3)) + 2), "",
                 meaning.c_str());
    std::fflush(log_);
}

} // namespace qvl::sim
