#include "driver/device/serial_link_win32.h"

#include "driver/device/error_reporter_win32.h"
#include "driver/device/link_failure.h"
#include "driver/device/serial_settings_win32.h"
#include "model/port_name.h"

#include <memory>

namespace qvl {

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// How long a thread waits for its cancelled operations to complete before it leaves them.
constexpr DWORD kCancelWaitMs = 2000;

} // namespace

// The overlapped record of one write; it stays on the heap if a cancelled write never completes.
struct CSerialLink::PendingWrite {
    OVERLAPPED overlapped = {};
    KernelHandle event; // overlapped.hEvent
};

bool StatusWaitsArePolled() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

CSerialLink::CSerialLink(DeviceByteSink& sink, ErrorReporter& reporter, bool statusWaits)
    : sink_(sink), reporter_(reporter), useStatusWaits_(statusWaits) {}

CSerialLink::~CSerialLink() {
    Close();
}

bool CSerialLink::CreateEvents() {
    statusMessageEvent_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!statusMessageEvent_) {
        ReportError("CreateEvent (Status message event)");
        return false;
    }
    threadExitEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!threadExitEvent_) {
        ReportError("CreateEvent (Thread exit event)");
        return false;
    }
    writeRequestEvent_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!writeRequestEvent_) {
        ReportError("CreateEvent(writ request event)");
        return false;
    }
    return true;
}

bool CSerialLink::Open(int port) {
    if (connected_.load())
        return true;
    openError_ = ERROR_FILE_NOT_FOUND;
    if (port < kFirstPortNumber || port > kLastPortNumber)
        return false;

    throttle_.Reset();
    status_.Reset();
    writeQueue_.Clear();
    statusWaits_ = useStatusWaits_;
    lost_ = false;
    if (!CreateEvents())
        return false;

    KernelHandle opened(CreateFileA(PortDevicePath(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!opened) {
        openError_ = GetLastError();
        return false;
    }
    if (!ConfigurePort(opened.Get()))
        return false;
    openError_ = 0;
    port_ = std::move(opened);
    // Marked open before the threads start, so that a fatal error from here on closes what exists.
    connected_ = true;
    return StartThreads();
}

bool CSerialLink::ConfigurePort(HANDLE port) {
    // A configured port whose device has gone can still open (Wine opens a port whose device path is
    // missing) and then refuses every line call: that is a port that cannot be opened, which the
    // caller tells the user about, not a string of failed calls.
    if (!GetCommTimeouts(port, &savedTimeouts_)) {
        openError_ = GetLastError();
        NoteFailure("GetCommTimeouts", openError_);
        return false;
    }
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        openError_ = GetLastError();
        NoteFailure("GetCommState", openError_);
        return false;
    }
    ApplyLineSettings(dcb, kDeviceLine);
    if (!SetCommState(port, &dcb))
        ReportError("SetCommState");
    COMMTIMEOUTS timeouts = ToCommTimeouts(kDeviceTimeouts);
    if (!SetCommTimeouts(port, &timeouts))
        ReportError("SetCommTimeouts");
    SetupComm(port, kInputQueueSize, kOutputQueueSize);
    if (!EscapeCommFunction(port, SETDTR))
        ReportError("EscapeCommFunction (SETDTR)");
    return true;
}

bool CSerialLink::StartThreads() {
    DWORD threadId = 0;
    readerThread_.Reset(CreateThread(nullptr, 0, &CSerialLink::ReaderAndStatusProc, this, 0, &threadId));
    if (!readerThread_) {
        FatalError("CreateThread(Reader/Status)");
        return false;
    }
    readerThreadId_ = threadId;
    writerThread_.Reset(CreateThread(nullptr, 0, &CSerialLink::WriterProc, this, 0, &threadId));
    if (!writerThread_) {
        FatalError("CreateThread (Writer)");
        return false;
    }
    writerThreadId_ = threadId;
    return true;
}

bool CSerialLink::Close() {
    if (!connected_.exchange(false))
        return false;

    SetEvent(threadExitEvent_.Get());
    // A fatal error on one of the link's own threads closes from that thread: it cannot wait for
    // itself, only for the other one.
    const DWORD self = GetCurrentThreadId();
    HANDLE threads[2];
    const char* names[2];
    DWORD count = 0;
    if (readerThread_ && readerThreadId_.load() != self) {
        names[count] = "Reader/Status Thread didn't exit.\n\r";
        threads[count++] = readerThread_.Get();
    }
    if (writerThread_ && writerThreadId_.load() != self) {
        names[count] = "Writer Thread didn't exit.\n\r";
        threads[count++] = writerThread_.Get();
    }
    DWORD waited = WAIT_OBJECT_0;
    if (count > 0)
        waited = WaitForMultipleObjects(count, threads, TRUE, kCloseWaitMs);
    ResetEvent(threadExitEvent_.Get());
    if (waited == WAIT_FAILED)
        ReportErrorCode("WaitForMultipleObjects", GetLastError(), true);
    if (waited >= WAIT_OBJECT_0 + count) {
        for (DWORD i = 0; i < count; ++i) {
            if (WaitForSingleObject(threads[i], 0) != WAIT_OBJECT_0)
                reporter_.DebugOutput(names[i]);
        }
        ReportErrorCode("Error closing port.", GetLastError(), true);
        reporter_.EndProcess(1);
        return false;
    }

    // A port that has gone refuses all of these: noted, not shown.
    const bool lost = lost_.load();
    if (!EscapeCommFunction(port_.Get(), CLRDTR))
        lost ? NoteFailure("EscapeCommFunction(CLRDTR)", GetLastError()) : ReportError("EscapeCommFunction(CLRDTR)");
    if (!SetCommTimeouts(port_.Get(), &savedTimeouts_)) {
        lost ? NoteFailure("SetCommTimeouts (Restoration to original)", GetLastError())
             : ReportError("SetCommTimeouts (Restoration to original)");
    }
    if (!PurgeComm(port_.Get(), kPurgeAll))
        lost ? NoteFailure("PurgeComm", GetLastError()) : ReportError("PurgeComm");
    port_.Reset();
    readerThread_.Reset();
    writerThread_.Reset();
    readerThreadId_ = 0;
    writerThreadId_ = 0;
    return true;
}

bool CSerialLink::WriterGeneric(const std::uint8_t* buffer, std::size_t count) {
    if (!connected_.load() || count == 0)
        return count == 0;
    auto write = std::make_unique<PendingWrite>();
    write->event.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    write->overlapped.hEvent = write->event.Get();
    if (!write->event) {
        FatalError("CreateEvent (overlapped write hEvent)");
        return false;
    }
    const DWORD wanted = static_cast<DWORD>(count);
    DWORD written = 0;
    if (WriteFile(port_.Get(), buffer, wanted, &written, &write->overlapped)) {
        if (written < wanted) {
            UpdateStatus("Write timed out. (immediate)\r\n");
            return false;
        }
        return true;
    }
    if (const DWORD code = GetLastError(); code != ERROR_IO_PENDING) {
        PortFailure("WriteFile (in Writer)", code);
        return false;
    }
    return FinishWrite(std::move(write), wanted);
}

bool CSerialLink::FinishWrite(std::unique_ptr<PendingWrite> write, DWORD wanted) {
    // The wait has a bound: the start byte is written on the window thread, and a device or adapter
    // that never takes it would hold that thread, where the close that ends the wait has to run.
    HANDLE waits[2] = {write->overlapped.hEvent, threadExitEvent_.Get()};
    DWORD written = 0;
    switch (WaitForMultipleObjects(2, waits, FALSE, kWriteWaitMs)) {
        case WAIT_OBJECT_0:
            if (!GetOverlappedResult(port_.Get(), &write->overlapped, &written, FALSE)) {
                const DWORD code = GetLastError();
                if (code == ERROR_OPERATION_ABORTED && !connected_.load()) {
                    UpdateStatus("Write aborted\r\n");
                } else {
                    PortFailure("GetOverlappedResult(in Writer)", code);
                }
                return false;
            }
            if (written < wanted) {
                ReportError("Error writing data to port (overlapped)");
                return false;
            }
            return true;
        case WAIT_OBJECT_0 + 1:
            AbandonWrite(std::move(write)); // the link is closing
            return false;
        case WAIT_TIMEOUT:
            // A port that takes nothing is as good as gone: the owner closes it and opens it again
            // when it answers. Marked lost before the write is given up: the reader's read may fail
            // with it (Wine ends it with a time-out), and is then part of the same loss.
            NotePortLost("WriteFile (in Writer)", ERROR_TIMEOUT);
            AbandonWrite(std::move(write));
            return false;
        default:
            FatalError("WaitForMultipleObjects (WriterGeneric)");
            return false;
    }
}

void CSerialLink::AbandonWrite(std::unique_ptr<PendingWrite> write) {
    // Give up on the write, but do not leave the system writing into a record that is gone.
    CancelIo(port_.Get());
    if (WaitForSingleObject(write->overlapped.hEvent, kCancelWaitMs) != WAIT_OBJECT_0)
        write.release();
}

bool CSerialLink::QueueWrite(WriteRequest request) {
    if (!connected_.load() || !writeQueue_.Push(std::move(request)))
        return false;
    SetEvent(writeRequestEvent_.Get());
    return true;
}

void CSerialLink::OutputABuffer(const std::uint8_t* buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        sink_.OnDeviceByte(buffer[i]);
}

void CSerialLink::UpdateStatus(const std::string& text) {
    status_.Append(text);
    if (statusMessageEvent_)
        SetEvent(statusMessageEvent_.Get());
}

DWORD WINAPI CSerialLink::ReaderAndStatusProc(LPVOID link) {
    static_cast<CSerialLink*>(link)->ReaderLoop();
    return 0;
}

DWORD WINAPI CSerialLink::WriterProc(LPVOID link) {
    static_cast<CSerialLink*>(link)->WriterLoop();
    return 0;
}

bool CSerialLink::ReaderLoop() {
    KernelHandle readEvent;
    KernelHandle statusEvent;
    if (!PrepareReader(readEvent, statusEvent))
        return false;
    ReaderState state;
    for (;;) {
        switch (ReaderPass(state)) {
            case ReaderStep::kClosed:
                FinishPendingReaderOperations(state.readPending, state.statusPending);
                return true;
            case ReaderStep::kLost:
                // The operation that failed is pending no more; the other one is finished here.
                FinishPendingReaderOperations(state.readPending, state.statusPending);
                return false;
            case ReaderStep::kFatal:
                return false;
            default:
                break;
        }
    }
}

bool CSerialLink::PrepareReader(KernelHandle& readEvent, KernelHandle& statusEvent) {
    readerIo_ = ReaderIo{};
    readEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!readEvent) {
        FatalError("CreateEvent (Reader Event)");
        return false;
    }
    statusEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!statusEvent) {
        FatalError("CreateEvent (Status Event)");
        return false;
    }
    readerIo_.read.hEvent = readEvent.Get();
    readerIo_.status.hEvent = statusEvent.Get();
    ClearLineErrors();
    return true;
}

void CSerialLink::ClearLineErrors() {
    DWORD errors = 0;
    COMSTAT comStat = {};
    if (!ClearCommError(port_.Get(), &errors, &comStat))
        ReportError("ClearCommError");
}

CSerialLink::ReaderStep CSerialLink::ReaderPass(ReaderState& state) {
    // Reads that complete at once never reach the wait below; look for Close's request here too.
    if (WaitForSingleObject(threadExitEvent_.Get(), 0) == WAIT_OBJECT_0)
        return ReaderStep::kClosed;
    if (!state.readPending) {
        if (const ReaderStep step = StartRead(state); step != ReaderStep::kGoOn)
            return step;
    }
    if (!state.maskSet) {
        state.maskSet = SetCommMask(port_.Get(), kLineEventMask) != FALSE;
        if (!state.maskSet)
            ReportError("SetCommMask");
    }
    if (statusWaits_.load() && !state.statusPending) {
        if (const ReaderStep step = StartStatusWait(state); step != ReaderStep::kGoOn)
            return step;
    }
    return state.readPending ? AwaitReader(state) : ReaderStep::kAgain;
}

CSerialLink::ReaderStep CSerialLink::StartRead(ReaderState& state) {
    DWORD received = 0;
    if (ReadFile(port_.Get(), readerIo_.buffer, static_cast<DWORD>(kReadChunk), &received, &readerIo_.read)) {
        OutputABuffer(readerIo_.buffer, received);
        return ReaderStep::kGoOn;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_IO_PENDING) {
        state.readPending = true;
        return ReaderStep::kGoOn;
    }
    if (code == ERROR_OPERATION_ABORTED && !connected_.load())
        return ReaderStep::kAgain; // our own close: the check at the start of the pass ends the thread
    PortFailure("ReadFile in ReaderAndStatusProc", code);
    return ReaderStep::kLost;
}

CSerialLink::ReaderStep CSerialLink::StartStatusWait(ReaderState& state) {
    if (WaitCommEvent(port_.Get(), &readerIo_.eventMask, &readerIo_.status))
        return ReaderStep::kAgain;
    const DWORD code = GetLastError();
    if (code == ERROR_IO_PENDING) {
        state.statusPending = true;
    } else if (ClassifyLinkError(code) == LinkFailure::kPortLost && code != ERROR_OPERATION_ABORTED) {
        PortFailure("WaitCommEvent", code);
        return ReaderStep::kLost;
    } else if (code == ERROR_NOT_SUPPORTED) {
        // Virtual ports and many adapters have no line-status events. Nothing depends on them:
        // report it once and go on reading without status waits, instead of failing again on every
        // pass.
        ReportErrorCode("WaitCommEvent", code, false);
        statusWaits_ = false;
    } else {
        // Go on to the wait rather than straight back: a status wait that fails at once would
        // otherwise spin the loop.
        ReportErrorCode("WaitCommEvent", code, false);
    }
    return ReaderStep::kGoOn;
}

CSerialLink::ReaderStep CSerialLink::AwaitReader(ReaderState& state) {
    HANDLE waits[4] = {readerIo_.read.hEvent, readerIo_.status.hEvent, statusMessageEvent_.Get(),
                       threadExitEvent_.Get()};
    switch (WaitForMultipleObjects(4, waits, FALSE, kReaderPollMs)) {
        case WAIT_OBJECT_0:
            state.readPending = false;
            return Completed(readerIo_.read, "Read aborted\r\n");
        case WAIT_OBJECT_0 + 1:
            state.statusPending = false;
            return Completed(readerIo_.status, "WaitCommEvent aborted\r\n");
        case WAIT_OBJECT_0 + 2:
            return ReaderStep::kAgain;
        case WAIT_OBJECT_0 + 3:
            return ReaderStep::kClosed;
        case WAIT_TIMEOUT:
            // Its failure is reported, not taken for a lost port: a port that has gone fails its
            // pending read too, which says so.
            ClearLineErrors();
            return ReaderStep::kAgain;
        default:
            FatalError("WaitForMultipleObjects (Reader)");
            return ReaderStep::kFatal;
    }
}

CSerialLink::ReaderStep CSerialLink::Completed(OVERLAPPED& operation, const char* abortedNote) {
    DWORD transferred = 0;
    if (GetOverlappedResult(port_.Get(), &operation, &transferred, FALSE)) {
        // A status wait's events are not examined: the wait only keeps the status list going.
        if (&operation == &readerIo_.read)
            OutputABuffer(readerIo_.buffer, transferred);
        return ReaderStep::kAgain;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_OPERATION_ABORTED && !connected_.load()) {
        UpdateStatus(abortedNote);
        return ReaderStep::kAgain;
    }
    PortFailure("GetOverlappedResult (in Reader)", code);
    return ReaderStep::kLost;
}

void CSerialLink::FinishPendingReaderOperations(bool readPending, bool statusPending) {
    HANDLE port = port_.Get();
    // An empty mask completes a pending status wait; CancelIo ends this thread's pending read.
    if (statusPending)
        SetCommMask(port, 0);
    if (readPending || statusPending)
        CancelIo(port);
    DWORD transferred = 0;
    if (readPending && WaitForSingleObject(readerIo_.read.hEvent, kCancelWaitMs) == WAIT_OBJECT_0)
        GetOverlappedResult(port, &readerIo_.read, &transferred, FALSE);
    if (statusPending && WaitForSingleObject(readerIo_.status.hEvent, kCancelWaitMs) == WAIT_OBJECT_0)
        GetOverlappedResult(port, &readerIo_.status, &transferred, FALSE);
}

void CSerialLink::WriterLoop() {
    HANDLE waits[2] = {writeRequestEvent_.Get(), threadExitEvent_.Get()};
    for (;;) {
        switch (WaitForMultipleObjects(2, waits, FALSE, kReaderPollMs)) {
            case WAIT_OBJECT_0:
                for (const WriteRequest& request : writeQueue_.TakeAll()) {
                    if (request.kind == WriteRequest::kCharacter) {
                        WriterGeneric(&request.character, 1);
                    } else if (request.kind == WriteRequest::kBlock) {
                        WriterGeneric(request.block.data(), request.block.size());
                    } else {
                        ReportError("Bad write request");
                    }
                }
                break;
            case WAIT_OBJECT_0 + 1:
                return;
            case WAIT_TIMEOUT:
                break;
            default:
                // The events are gone: nothing more can be written. Report it and end the thread rather
                // than fail again at once, for ever.
                ReportError("WaitForMultipleObjects( writer proc )");
                return;
        }
    }
}

void CSerialLink::ReportError(const char* call) {
    ReportErrorCode(call, GetLastError(), false);
}

void CSerialLink::ReportErrorCode(const char* call, DWORD code, bool alwaysShow) {
    const std::string report = FormatErrorReport(code, call, SystemErrorText(code));
    reporter_.DebugOutput(report);
    UpdateStatus(report);
    if (alwaysShow || throttle_.FirstTime(call, code))
        reporter_.ShowMessage(report, nullptr);
}

void CSerialLink::NoteFailure(const char* call, DWORD code) {
    const std::string report = FormatErrorReport(code, call, SystemErrorText(code));
    reporter_.DebugOutput(report);
    UpdateStatus(report);
}

bool CSerialLink::PortFailure(const char* call, DWORD code) {
    // Once the port is lost, whatever else fails on it is part of that loss.
    if (!lost_.load() && ClassifyLinkError(code) != LinkFailure::kPortLost) {
        SetLastError(code);
        FatalError(call);
        return false;
    }
    NotePortLost(call, code);
    return true;
}

void CSerialLink::NotePortLost(const char* call, DWORD code) {
    NoteFailure(call, code);
    if (!lost_.exchange(true))
        sink_.OnPortLost();
}

void CSerialLink::FatalError(const char* call) {
    ReportErrorCode(call, GetLastError(), true);
    Close();
    reporter_.EndProcess(1);
}

} // namespace qvl
