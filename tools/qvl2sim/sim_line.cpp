#include "tools/qvl2sim/sim_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace qvl::sim {

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Raw bytes at the device's settings: 2400 baud, 8N1, no flow control, no echo or line editing.
bool SetDeviceLine(int fd) {
    termios settings = {};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(PARENB | CSTOPB | CRTSCTS);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B2400);
    cfsetospeed(&settings, B2400);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

std::unique_ptr<SimLine> SimLine::OpenPty(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = SystemError("posix_openpt");
        return nullptr;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        error = SystemError("grantpt/unlockpt");
        close(master);
        return nullptr;
    }
    const char* name = ptsname(master);
    if (name == nullptr) {
        error = SystemError("ptsname");
        close(master);
        return nullptr;
    }
    const std::string path = name;
    const int slave = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0 || !SetDeviceLine(slave)) {
        error = SystemError("opening " + path);
        if (slave >= 0)
            close(slave);
        close(master);
        return nullptr;
    }
    return std::unique_ptr<SimLine>(new SimLine(master, slave, path));
}

std::unique_ptr<SimLine> SimLine::OpenDevice(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error = SystemError("opening " + path);
        return nullptr;
    }
    if (!SetDeviceLine(fd)) {
        error = SystemError("setting up " + path);
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<SimLine>(new SimLine(fd, -1, path));
}

SimLine::~SimLine() {
    close(fd_);
    if (slaveFd_ >= 0)
        close(slaveFd_);
}

bool SimLine::Write(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd_, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

int SimLine::Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    pollfd poller = {fd_, POLLIN, 0};
    const int ready = poll(&poller, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    const ssize_t got = read(fd_, buffer, capacity);
    if (got < 0)
        return (errno == EINTR || errno == EAGAIN) ? 0 : -1;
    return got == 0 ? -1 : static_cast<int>(got);
}

bool PointLink(const std::string& link, const std::string& target, std::string& error) {
    const std::string temporary = link + ".qvl2sim";
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) {
        error = SystemError("linking " + temporary);
        return false;
    }
    if (rename(temporary.c_str(), link.c_str()) != 0) {
        error = SystemError("renaming to " + link);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace qvl::sim
