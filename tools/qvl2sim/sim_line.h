// The simulator's end of the serial line (Linux): the master side of a pty it opens itself, or a real
// serial device set to the Quorvel 2's 2400 baud, 8 data bits, no parity, one stop bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qvl::sim {

class SimLine {
public:
    // A new pty pair; Path() is the slave that the driver opens. The simulator keeps the slave open
    // too, so the line stays up while the driver closes and reopens its port (Disable, Reload).
    static std::unique_ptr<SimLine> OpenPty(std::string& error);
    static std::unique_ptr<SimLine> OpenDevice(const std::string& path, std::string& error);

    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;
    ~SimLine();

    const std::string& Path() const { return path_; }
    bool Write(const std::uint8_t* bytes, std::size_t count);
    // Up to `capacity` received bytes, waiting at most `timeoutMs`: the count, 0 on time-out, -1 when
    // the line has failed.
    int Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs);

private:
    SimLine(int fd, int slaveFd, std::string path) : fd_(fd), slaveFd_(slaveFd), path_(std::move(path)) {}
    int fd_;
    int slaveFd_;
    std::string path_;
};

// Make `link` a symbolic link to `target`, replacing whatever link was there (atomically, so a program
// that opens the link meanwhile finds the old target or the new one).
bool PointLink(const std::string& link, const std::string& target, std::string& error);

} // namespace qvl::sim
