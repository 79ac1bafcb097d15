// Drives one CSerialLink against whatever the Linux side put behind a COM port, for
// serial_link_test.py, which plays the device at the other end of a pty and checks what this program
// prints once it has ended. Reports, boxes and the end of the process are recorded, not carried out.
//
// <comPort> is the port's number (2: COM2).
//   serial_link_probe echo <comPort> <count> [<text> <times>]
//                                              open, send 0xB3, take <count> bytes, send them back,
//                                              queue two writes, wait for one more byte (the
//                                              device has seen the writes), wait until <times>
//                                              debug reports holding <text> were made (else make
//                                              three 0xEE round trips with the device), close twice
//   serial_link_probe missing <comPort>        an open that must fail
//   serial_link_probe hangup <comPort>         open, send 0xB3, wait for the port to be lost, close
// QVL_STATUS_WAITS=1 in the environment keeps the line-status waits on, as on Windows.
//   serial_link_probe stuck <comPort>          open, send 0xB3, hold the reader in OnDeviceByte, close
//   serial_link_probe burst <comPort> <count>  open, send 0xB3, take <count> bytes and print when each
//                                              reached OnDeviceByte (performance counter, 100 ns)
#include "driver/device/device_byte_sink.h"
#include "driver/device/error_reporter.h"
#include "driver/device/serial_link_win32.h"

#include <windows.h>
#include <tlhelp32.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace qvl;

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Long enough for anything that should happen at once, on a busy machine.
constexpr DWORD kPatienceMs = 60000;
// Round trips with the device that keep the reader busy before an idle close.
constexpr std::size_t kIdleTrips = 3;

class RecordingReporter final : public ErrorReporter {
public:
    void DebugOutput(const std::string& text) override { Add("debug " + Escaped(text)); }
    void ShowMessage(const std::string& text, const char* caption) override {
        Add("box " + std::string(caption != nullptr ? caption : "-") + " " + Escaped(text));
    }
    void EndProcess(int exitCode) override {
        Add("end " + std::to_string(exitCode));
        std::lock_guard<std::mutex> hold(lock_);
        ended_ = true;
        endedAt_ = GetTickCount();
        changed_.notify_all();
    }
    bool WaitForEnd(DWORD timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return ended_; });
    }
    // Whether `times` debug reports holding `text` were made within `timeoutMs`.
    bool WaitForDebug(const std::string& text, std::size_t times, DWORD timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
            std::size_t seen = 0;
            for (const std::string& line : lines_)
                if (line.rfind("debug ", 0) == 0 && line.find(text) != std::string::npos)
                    ++seen;
            return seen >= times;
        });
    }
    DWORD EndedAt() {
        std::lock_guard<std::mutex> hold(lock_);
        return endedAt_;
    }
    void Print() {
        std::lock_guard<std::mutex> hold(lock_);
        for (const std::string& line : lines_)
            std::printf("%s\n", line.c_str());
    }

private:
    void Add(const std::string& line) {
        std::lock_guard<std::mutex> hold(lock_);
        lines_.push_back(line);
        changed_.notify_all();
    }
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    bool ended_ = false;
    DWORD endedAt_ = 0;
};

class RecordingSink final : public DeviceByteSink {
public:
    void OnDeviceByte(std::uint8_t byte) override {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        std::unique_lock<std::mutex> hold(lock_);
        times_.push_back(now.QuadPart);
        bytes_.push_back(byte);
        threads_.push_back(GetCurrentThreadId());
        changed_.notify_all();
        // A handler that does not come back, as a hung window would make it.
        changed_.wait(hold, [this] { return !holding_; });
    }
    void Hold(bool on) {
        std::lock_guard<std::mutex> hold(lock_);
        holding_ = on;
        changed_.notify_all();
    }
    bool WaitFor(std::size_t count, DWORD timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return bytes_.size() >= count; });
    }
    std::vector<std::uint8_t> Bytes() {
        std::lock_guard<std::mutex> hold(lock_);
        return bytes_;
    }
    std::vector<long long> Times() {
        std::lock_guard<std::mutex> hold(lock_);
        return times_;
    }
    void OnPortLost() override {
        std::lock_guard<std::mutex> hold(lock_);
        ++lost_;
        changed_.notify_all();
    }
    // How often the port was reported lost, once at least one report came or the time ran out.
    int WaitForLost(DWORD timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return lost_ > 0; });
        return lost_;
    }
    bool AllOnThread(DWORD thread) {
        std::lock_guard<std::mutex> hold(lock_);
        for (DWORD t : threads_)
            if (t != thread)
                return false;
        return !threads_.empty();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> bytes_;
    std::vector<long long> times_;
    std::vector<DWORD> threads_;
    bool holding_ = false;
    int lost_ = 0;
};

bool StatusWaits() {
    const char* forced = std::getenv("QVL_STATUS_WAITS");
    return forced != nullptr ? std::string(forced) == "1" : !StatusWaitsArePolled();
}

int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

void PrintBytes(const char* label, const std::vector<std::uint8_t>& bytes) {
    std::printf("%s", label);
    for (std::uint8_t b : bytes)
        std::printf(" %02x", b);
    std::printf("\n");
}

void PrintNotes(const CSerialLink& link) {
    for (const std::string& note : link.StatusNotes())
        std::printf("note %s\n", Escaped(note).c_str());
}

// `report` and `times`: what the reader is waited for before the close; none: it idles a while.
int Echo(int comPort, std::size_t count, const std::string& report, std::size_t times) {
    RecordingReporter reporter;
    RecordingSink sink;
    int result = 0;
    {
        CSerialLink link(sink, reporter, StatusWaits());
        const bool opened = link.Open(comPort);
        std::printf("open %d\n", opened ? 1 : 0);
        if (!opened) {
            reporter.Print();
            return 1;
        }
        const std::uint8_t start = 0xB3;
        std::printf("start %d\n", link.WriterGeneric(&start, 1) ? 1 : 0);
        const bool all = sink.WaitFor(count, kPatienceMs);
        const std::vector<std::uint8_t> bytes = sink.Bytes();
        std::printf("received-all %d\n", all ? 1 : 0);
        PrintBytes("received", bytes);
        std::printf("on-reader-thread %d\n", sink.AllOnThread(link.ReaderThreadId()) ? 1 : 0);
        std::printf("echo %d\n", link.WriterGeneric(bytes.data(), bytes.size()) ? 1 : 0);
        std::printf("queued %d\n", link.QueueWrite({WriteRequest::kCharacter, 0x55, {}}) &&
                                           link.QueueWrite({WriteRequest::kBlock, 0, {0x01, 0x02, 0x03}})
                                       ? 1
                                       : 0);
        // The device sends one more byte once it has seen all of that: a close before would drop
        // writes still in the queue.
        std::printf("device-done %d\n", sink.WaitFor(count + 1, kPatienceMs) ? 1 : 0);
        if (times > 0) {
            std::printf("reported %d\n", reporter.WaitForDebug(report, times, kPatienceMs) ? 1 : 0);
        } else {
            // Three round trips with the device, each a pass of the reader (a read, and a status
            // wait where the link keeps them), in which a call that keeps failing would show.
            bool trips = true;
            for (std::size_t trip = 1; trip <= kIdleTrips && trips; ++trip) {
                const std::uint8_t ping = 0xEE;
                trips = link.WriterGeneric(&ping, 1) && sink.WaitFor(count + 1 + trip, kPatienceMs);
            }
            std::printf("idle-trips %d\n", trips ? 1 : 0);
        }
        std::printf("status-waits %d\n", link.StatusWaitsEnabled() ? 1 : 0);
        const DWORD before = GetTickCount();
        std::printf("close %d\n", link.Close() ? 1 : 0);
        std::printf("close-ms %lu\n", GetTickCount() - before);
        std::printf("close-again %d\n", link.Close() ? 1 : 0);
        std::printf("start-after-close %d\n", link.WriterGeneric(&start, 1) ? 1 : 0);
        PrintNotes(link);
    }
    reporter.Print();
    return result;
}

int Missing(int comPort) {
    RecordingReporter reporter;
    RecordingSink sink;
    CSerialLink link(sink, reporter, StatusWaits());
    const int before = ThreadCount();
    const bool opened = link.Open(comPort);
    // A thread exists once CreateThread has returned, so one the failed open started by mistake is
    // counted here whether or not it has run yet.
    const int after = ThreadCount();
    std::printf("open %d\n", opened ? 1 : 0);
    std::printf("threads-started %d\n", after - before);
    std::printf("is-open %d\n", link.IsOpen() ? 1 : 0);
    std::printf("close %d\n", link.Close() ? 1 : 0);
    reporter.Print();
    return 0;
}

int Hangup(int comPort) {
    RecordingReporter reporter;
    RecordingSink sink;
    CSerialLink link(sink, reporter, StatusWaits());
    const bool opened = link.Open(comPort);
    std::printf("open %d\n", opened ? 1 : 0);
    if (!opened)
        return 1;
    const std::uint8_t start = 0xB3;
    link.WriterGeneric(&start, 1);
    std::printf("lost %d\n", sink.WaitForLost(kPatienceMs));
    std::printf("is-open %d\n", link.IsOpen() ? 1 : 0);
    std::printf("close %d\n", link.Close() ? 1 : 0);
    PrintBytes("received", sink.Bytes());
    reporter.Print();
    return 0;
}

int Stuck(int comPort) {
    RecordingReporter reporter;
    RecordingSink sink;
    sink.Hold(true);
    // Never destroyed: its reader is still running when this program ends.
    CSerialLink* link = new CSerialLink(sink, reporter, StatusWaits());
    if (!link->Open(comPort)) {
        std::printf("open 0\n");
        return 1;
    }
    const std::uint8_t start = 0xB3;
    link->WriterGeneric(&start, 1);
    std::printf("held %d\n", sink.WaitFor(1, kPatienceMs) ? 1 : 0);
    const DWORD before = GetTickCount();
    std::printf("close %d\n", link->Close() ? 1 : 0);
    std::printf("close-ms %lu\n", GetTickCount() - before);
    reporter.Print();
    std::fflush(stdout);
    ExitProcess(0);
}

int Burst(int comPort, std::size_t count) {
    RecordingReporter reporter;
    RecordingSink sink;
    CSerialLink link(sink, reporter, StatusWaits());
    if (!link.Open(comPort)) {
        std::printf("open 0\n");
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::printf("frequency %lld\n", frequency.QuadPart);
    const std::uint8_t start = 0xB3;
    link.WriterGeneric(&start, 1);
    // Generous: the burst itself lasts count / 240 seconds at the line's rate.
    sink.WaitFor(count, static_cast<DWORD>(kPatienceMs + count * 10));
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    link.Close();
    const std::vector<std::uint8_t> bytes = sink.Bytes();
    const std::vector<long long> times = sink.Times();
    std::printf("count %zu\n", bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        std::printf("byte %02x %lld\n", bytes[i], times[i]);
    std::printf("cpu-100ns %llu\n",
                (static_cast<unsigned long long>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
                    (static_cast<unsigned long long>(user.dwHighDateTime) << 32 | user.dwLowDateTime));
    reporter.Print();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 3) {
        std::fprintf(stderr, "usage: serial_link_probe echo|missing|hangup comPort [count]\n");
        return 2;
    }
    const std::string scenario = argv[1];
    const int comPort = std::atoi(argv[2]);
    if (scenario == "echo" && argc >= 4)
        return Echo(comPort, static_cast<std::size_t>(std::atoi(argv[3])), argc >= 6 ? argv[4] : "",
                    argc >= 6 ? static_cast<std::size_t>(std::atoi(argv[5])) : 0);
    if (scenario == "missing")
        return Missing(comPort);
    if (scenario == "hangup")
        return Hangup(comPort);
    if (scenario == "stuck")
        return Stuck(comPort);
    if (scenario == "burst" && argc >= 4)
        return Burst(comPort, static_cast<std::size_t>(std::atoi(argv[3])));
    std::fprintf(stderr, "unknown scenario %s\n", scenario.c_str());
    return 2;
}
