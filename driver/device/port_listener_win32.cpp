#include "driver/device/port_listener_win32.h"

#include "driver/device/serial_settings_win32.h"
#include "model/port_name.h"

namespace qvl {

namespace {

// How long the thread waits for a cancelled read before it leaves the port's record behind.
constexpr DWORD kCancelWaitMs = 2000;

} // namespace

struct CPortListener::Line {
    int number = 0;
    KernelHandle port;
    KernelHandle event; // the read's, manual reset
    OVERLAPPED read = {};
    bool pending = false;
    bool live = true; // false once the port refused a read: left out from then on
    DCB saved = {};
    COMMTIMEOUTS savedTimeouts = {};
    std::uint8_t buffer[64] = {};
};

CPortListener::CPortListener(PortFoundSink& sink) : sink_(sink), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CPortListener::~CPortListener() {
    Stop();
}

std::unique_ptr<CPortListener::Line> CPortListener::Open(int number) {
    KernelHandle port(CreateFileA(PortDevicePath(number).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!port)
        return nullptr;
    auto line = std::make_unique<Line>();
    line->saved.DCBlength = sizeof line->saved;
    // A name that opens but answers no line call is no serial port (Wine opens a mapped port whose
    // device is missing).
    if (!GetCommState(port.Get(), &line->saved) || !GetCommTimeouts(port.Get(), &line->savedTimeouts))
        return nullptr;
    line->event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!line->event)
        return nullptr;
    // The device's line, its modem lines up; a port that refuses part of it is read all the same.
    DCB dcb = line->saved;
    ApplyLineSettings(dcb, kDeviceLine);
    SetCommState(port.Get(), &dcb);
    COMMTIMEOUTS timeouts = ToCommTimeouts(kDeviceTimeouts);
    SetCommTimeouts(port.Get(), &timeouts);
    line->read.hEvent = line->event.Get();
    line->number = number;
    line->port = std::move(port);
    return line;
}

std::vector<int> CPortListener::Listen(const std::vector<int>& ports) {
    Stop();
    std::vector<int> opened;
    for (const int number : ports) {
        if (lines_.size() == kMaxListened)
            break;
        if (std::unique_ptr<Line> line = Open(number)) {
            opened.push_back(number);
            lines_.push_back(std::move(line));
        }
    }
    finder_ = std::make_unique<CPortFinder>(lines_.size());
    listening_ = true;
    if (!lines_.empty() && stop_) {
        ResetEvent(stop_.Get());
        thread_ = std::thread([this] { Run(); });
    }
    return opened;
}

void CPortListener::Stop() {
    if (thread_.joinable()) {
        SetEvent(stop_.Get());
        thread_.join();
    }
    lines_.clear();
    finder_.reset();
    listening_ = false;
}

void CPortListener::Run() {
    bool found = false;
    for (std::size_t i = 0; i < lines_.size() && !found; ++i)
        found = StartRead(i);
    std::vector<HANDLE> waits;
    std::vector<std::size_t> lineOf;
    while (!found) {
        waits.assign(1, stop_.Get());
        lineOf.clear();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i]->live && lines_[i]->pending) {
                waits.push_back(lines_[i]->event.Get());
                lineOf.push_back(i);
            }
        }
        const DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (woke <= WAIT_OBJECT_0 || woke >= WAIT_OBJECT_0 + waits.size())
            break; // Stop, or a wait that failed: nothing more can be heard
        found = Completed(lineOf[woke - WAIT_OBJECT_0 - 1]);
    }
    const int port = found ? lines_[*finder_->Found()]->number : 0;
    CloseAll();
    if (found)
        sink_.OnPortFound(port);
}

bool CPortListener::StartRead(std::size_t index) {
    Line& line = *lines_[index];
    for (;;) {
        DWORD received = 0;
        if (!ReadFile(line.port.Get(), line.buffer, sizeof line.buffer, &received, &line.read)) {
            line.pending = GetLastError() == ERROR_IO_PENDING;
            line.live = line.pending; // any other failure: the port has gone
            return false;
        }
        // Done at once. With the interval time-out a read waits for its first byte, so a port that
        // ends reads empty at once would only spin: it is left out.
        if (received == 0) {
            line.live = false;
            return false;
        }
        if (finder_->Feed(index, line.buffer, received))
            return true;
    }
}

bool CPortListener::Completed(std::size_t index) {
    Line& line = *lines_[index];
    line.pending = false;
    DWORD received = 0;
    if (!GetOverlappedResult(line.port.Get(), &line.read, &received, FALSE)) {
        line.live = false;
        return false;
    }
    if (finder_->Feed(index, line.buffer, received))
        return true;
    return StartRead(index);
}

void CPortListener::CloseAll() {
    for (std::unique_ptr<Line>& line : lines_) {
        if (line->pending) {
            CancelIo(line->port.Get());
            DWORD received = 0;
            if (WaitForSingleObject(line->event.Get(), kCancelWaitMs) != WAIT_OBJECT_0) {
                line.release(); // the system may still write into it: never freed
                continue;
            }
            GetOverlappedResult(line->port.Get(), &line->read, &received, FALSE);
        }
        SetCommTimeouts(line->port.Get(), &line->savedTimeouts);
        SetCommState(line->port.Get(), &line->saved);
        line->port.Reset();
    }
}

} // namespace qvl
