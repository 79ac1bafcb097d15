// The serial line to the Quorvel 2: opens the configured port (COM1 to COM256, by its device path
// \\.\COMn, the one form that opens COM10 and above) with the device's settings, runs a
// reader thread that hands every received byte to the application, a writer thread for queued
// writes, and closes the port again. One connection per object.
//
// Everything a device byte triggers runs on the reader thread (ReaderAndStatusProc): the application's
// OnDeviceByte is called there, once per byte, in order. Close waits for both threads to end, so no
// byte is being handled when it returns.
//
// A failure that means the port has gone (see ClassifyLinkError) is not fatal: the reader stops, the
// sink hears OnPortLost once, and the owner closes the link quietly and may open it again. A write the
// port has not taken within kWriteWaitMs counts as such a failure: a stalled adapter must not hold the
// caller (the window thread writes the start byte). Other failures of the line still report and end
// the process.
//
// The line-status waits only feed the status list. Where the system services a pending status wait by
// polling the line (Wine does), they cost CPU time all day for nothing: the link then only reads.
#pragma once

#include "base/unique_handle_win32.h"
#include "driver/device/device_byte_sink.h"
#include "driver/device/device_link.h"
#include "driver/device/error_reporter.h"
#include "driver/device/serial_settings.h"
#include "driver/device/status_list.h"
#include "driver/device/write_queue.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qvl {

// True when the line-status waits are serviced by polling: the program runs under Wine, whose ntdll
// exports wine_get_version. On Windows the waits cost nothing while the line is quiet.
bool StatusWaitsArePolled();

class CSerialLink final : public DeviceLink {
public:
    // `statusWaits`: whether the reader keeps a line-status wait pending beside its read.
    CSerialLink(DeviceByteSink& sink, ErrorReporter& reporter, bool statusWaits = !StatusWaitsArePolled());
    // Closes a connection that is still open.
    ~CSerialLink() override;

    bool Open(int port) override;
    bool Close() override;
    bool WriterGeneric(const std::uint8_t* buffer, std::size_t count) override;
    bool IsOpen() const override { return connected_.load(); }
    std::uint32_t OpenError() const override { return openError_; }

    // Hand a request to the writer thread; false when no connection is open or the queue is full.
    bool QueueWrite(WriteRequest request);
    // Pass received bytes to the application, one call per byte, in order.
    void OutputABuffer(const std::uint8_t* buffer, std::size_t count);
    // Append a note to the status list.
    void UpdateStatus(const std::string& text);
    std::vector<std::string> StatusNotes() const { return status_.Notes(); }
    // False once the port has answered a status wait with "not supported": the reader then only reads.
    bool StatusWaitsEnabled() const { return statusWaits_.load(); }
    DWORD ReaderThreadId() const { return readerThreadId_.load(); }

private:
    // What one step of a reader pass leaves the reader to do.
    enum class ReaderStep {
        kGoOn,   // on with this pass
        kAgain,  // on with the next pass
        kClosed, // Close asked the thread to end
        kLost,   // the port failed (reported): the thread ends
        kFatal,  // a fatal error was reported: the thread ends at once
    };
    // What the reader has outstanding on the port.
    struct ReaderState {
        bool readPending = false;
        bool statusPending = false;
        bool maskSet = false;
    };
    struct PendingWrite;

    // Set the device's line up on a port just opened; false when the port refuses to be asked.
    bool ConfigurePort(HANDLE port);
    bool StartThreads();
    static DWORD WINAPI ReaderAndStatusProc(LPVOID link);
    static DWORD WINAPI WriterProc(LPVOID link);
    // True when the thread ended because Close asked it to, false after a fatal error.
    bool ReaderLoop();
    bool PrepareReader(KernelHandle& readEvent, KernelHandle& statusEvent);
    void ClearLineErrors();
    // One pass: a read started (its bytes handed on if it completed at once), the line-status wait
    // kept, then a wait for either to complete, for a note or for Close.
    ReaderStep ReaderPass(ReaderState& state);
    ReaderStep StartRead(ReaderState& state);
    ReaderStep StartStatusWait(ReaderState& state);
    ReaderStep AwaitReader(ReaderState& state);
    // The read or the status wait has completed: a read's bytes go to the application, an abort by
    // Close is noted, any other failure is the port's.
    ReaderStep Completed(OVERLAPPED& operation, const char* abortedNote);
    // Let the reader's overlapped operations finish before the thread leaves them behind.
    void FinishPendingReaderOperations(bool readPending, bool statusPending);
    void WriterLoop();
    // Wait for a pending write: for the port to take it, for Close, or at most kWriteWaitMs.
    bool FinishWrite(std::unique_ptr<PendingWrite> write, DWORD wanted);
    void AbandonWrite(std::unique_ptr<PendingWrite> write);

    // A failed call, with the last error: to the debugger output and the status list, and in a box
    // the first time this call fails this way on this connection.
    void ReportError(const char* call);
    void ReportErrorCode(const char* call, DWORD code, bool alwaysShow);
    // A failed call the link cannot go on from: report it, close, end the process.
    void FatalError(const char* call);
    // A failed read, write or status wait on the open port: a lost port (noted, the sink told once;
    // returns true) or FatalError.
    bool PortFailure(const char* call, DWORD code);
    void NotePortLost(const char* call, DWORD code);
    // Only to the debugger output and the status list: failures that leave the line working.
    void NoteFailure(const char* call, DWORD code);
    bool CreateEvents();

    DeviceByteSink& sink_;
    ErrorReporter& reporter_;

    KernelHandle port_;
    std::atomic<bool> connected_{false};
    DWORD openError_ = 0; // why the last open failed
    COMMTIMEOUTS savedTimeouts_ = {};
    KernelHandle readerThread_;
    KernelHandle writerThread_;
    std::atomic<DWORD> readerThreadId_{0};
    std::atomic<DWORD> writerThreadId_{0};
    KernelHandle threadExitEvent_;    // manual reset: both threads and a pending write see it
    KernelHandle statusMessageEvent_; // automatic reset: a note was added
    KernelHandle writeRequestEvent_;  // automatic reset: the queue has work
    CStatusList status_;
    CWriteQueue writeQueue_;
    ReportThrottle throttle_;
    const bool useStatusWaits_;
    std::atomic<bool> statusWaits_{true};
    std::atomic<bool> lost_{false}; // the port went away on this connection: its close is quiet

    // The reader's overlapped operations live as long as the link: the system writes into them until
    // a cancelled operation has completed, which may be after the thread has gone.
    struct ReaderIo {
        OVERLAPPED read = {};
        OVERLAPPED status = {};
        DWORD eventMask = 0;
        std::uint8_t buffer[kReadChunk] = {};
    } readerIo_;
};

} // namespace qvl
