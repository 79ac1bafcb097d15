// Preloaded into Wine when a test wants a pseudo-terminal to behave like a real serial port: a pty has
// no modem lines, so raising DTR or reading the modem status fails there ("not supported"), which a
// real port never does. This answers the modem-line requests on any terminal whose own driver refuses
// them, keeping the line state per descriptor; every other request goes to the real ioctl.
//
// With QVL_MODEM_SHIM_FAIL_INQ set, asking a terminal how many bytes wait in its input queue fails:
// Wine then fails ClearCommError on that port every time, which is how a test shows what the link
// does with a call that keeps failing.
//
// Built without the sanitizers: it is loaded into programs that were not built with them.
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {

using IoctlFunction = int (*)(int, unsigned long, ...);

constexpr int kTrackedDescriptors = 4096;
// A device at the other end is present and ready: DSR, CTS and carrier on; DTR and RTS follow the
// program's requests.
constexpr int kPresentLines = TIOCM_DSR | TIOCM_CTS | TIOCM_CAR;

std::atomic<int> lineState[kTrackedDescriptors];

IoctlFunction RealIoctl() {
    static IoctlFunction real = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
    return real;
}

bool IsModemRequest(unsigned long request) {
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}

int AnswerModemRequest(int fd, unsigned long request, int* bits) {
    if (fd < 0 || fd >= kTrackedDescriptors || bits == nullptr) {
        errno = EINVAL;
        return -1;
    }
    std::atomic<int>& state = lineState[fd];
    switch (request) {
        case TIOCMGET:
            *bits = state.load() | kPresentLines;
            break;
        case TIOCMSET:
            state.store(*bits & (TIOCM_DTR | TIOCM_RTS));
            break;
        case TIOCMBIS:
            state.fetch_or(*bits & (TIOCM_DTR | TIOCM_RTS));
            break;
        case TIOCMBIC:
            state.fetch_and(~*bits);
            break;
        default:
            break;
    }
    return 0;
}

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);

    static const bool failInputQueue = std::getenv("QVL_MODEM_SHIM_FAIL_INQ") != nullptr;
    if (failInputQueue && request == TIOCINQ && isatty(fd)) {
        errno = EIO;
        return -1;
    }
    IoctlFunction real = RealIoctl();
    if (real == nullptr) {
        errno = ENOSYS;
        return -1;
    }
    const int result = real(fd, request, argument);
    if (result == 0 || !IsModemRequest(request))
        return result;
    const int savedErrno = errno;
    if (!isatty(fd)) {
        errno = savedErrno;
        return result;
    }
    return AnswerModemRequest(fd, request, static_cast<int*>(argument));
}
