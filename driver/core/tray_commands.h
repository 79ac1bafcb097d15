// What the driver does with its port and its tray menu: opening the port at start-up, the item that
// toggles the device, each of the menu's commands (Open QVL2 Editor, Disable or Enable QVL2, Find
// Device, Reload Driver, Exit), and a port that goes away while the driver runs: it is closed,
// everything the driver holds down is let go of, the user is told once, and the port is opened again
// every two seconds (and at once when the system says it may be back) until it answers, the user
// disables the device or the driver ends.
//
// The port is any of COM1 to COM256. When it cannot be opened (at start-up, on Enable, or when another
// port is stored while the driver runs), and on Find Device, the driver listens on every port the
// system lists, writing nothing to any, and takes the first one a whole press arrives on: it stores
// that port, opens it and sends the start byte. After a port that could not be opened it also keeps
// trying that port every two seconds. A port stored by anybody (the editor, a .reg file) is taken
// over at once.
//
// Everything here runs on the driver's window thread. The port's reader thread is stopped before a
// command goes on (closing the link waits for it), so no device event is in progress meanwhile; a
// click-window question that holds the reader is cancelled first, or the close would wait for it.
#pragma once

#include "driver/core/retry_schedule.h"
#include "driver/device/device_link.h"
#include "driver/device/port_listener.h"
#include "driver/output/desktop.h"
#include "driver/output/process_source.h"
#include "model/shared_info.h"
#include "model/serial_ports.h"
#include "model/shared_names.h"
#include "model/store_result.h"
#include "model/text_case.h"

#include <cstdint>

namespace qvl {

// What the commands need of the program around them: boxes, windows, processes and its own end.
class DriverShell {
public:
    DriverShell() = default;
    DriverShell(const DriverShell&) = delete;
    DriverShell& operator=(const DriverShell&) = delete;
    virtual ~DriverShell() = default;

    // The box that says port COM`port` could not be opened and the system's reason for `error`
    // (string 6, OK button); returns once answered.
    virtual void ShowPortError(int port, long error) = 0;
    // Bring `window` to the foreground and restore it from a minimised state.
    virtual void RestoreWindow(WindowId window) = 0;
    // Start `program` from the driver's own folder, without arguments; false when it could not start.
    virtual bool StartProgram(const char* program) = 0;
    // Answer an open click-window question with Cancel, and any asked until ResumeQuestions.
    virtual void CancelQuestion() = 0;
    virtual void ResumeQuestions() = 0;
    // The program's exit processing: the tray icon, the driver's objects and the shared block go.
    virtual void ExitProcessing() = 0;
    // Leave the message loop; the program ends with `exitCode`.
    virtual void Quit(int exitCode) = 0;
    // Let go of every key and button the driver holds down, last pressed first.
    virtual void ReleaseHeldInput() = 0;
    // Tell the user something without a box (a balloon at the tray icon): a string-table text whose
    // "%1" is the name of port COM`port` and "%2" the system's reason for `error`.
    virtual void Notify(unsigned stringId, int port, long error = 0) = 0;
    // Store COM`port` as the preferences' port (the device was found there).
    virtual StoreResult StorePort(int port) = 0;
    // The link's state changed (connected, retrying, listening, disabled): the tray's tip, its icon
    // and the retry timer follow it.
    virtual void PortStateChanged() = 0;
    // A steady clock in milliseconds, for the retry schedule.
    virtual std::uint64_t NowMs() = 0;
};

// What the tray shows of the port.
enum class PortState {
    kConnected, // open and receiving
    kRetrying,  // lost while enabled: the driver opens it again as soon as it answers
    kListening, // looking for the device on every port (perhaps retrying the stored one beside)
    kDisabled,  // closed: Disable
};

// The ports as the commands reach them: the device's link, the listener that looks for the device,
// and the system's list of serial ports.
struct DevicePorts {
    DeviceLink& link;
    PortListener& listener;
    SerialPortSource& list;
};

// One menu item: its string-table text and its command.
struct TrayItem {
    unsigned stringId;
    unsigned commandId;
};

// What a command leaves the program to do.
enum class TrayOutcome {
    kStay, // the driver goes on
    kQuit, // the message loop ends
};

class CTrayCommands {
public:
    // `port` is the preferences' port, COM1 to COM256.
    CTrayCommands(DevicePorts ports, CSharedInfo& shared, ProcessSource& processes, const TextCase& textCase,
                  Desktop& desktop, DriverShell& shell, int port);
    CTrayCommands(const CTrayCommands&) = delete;
    CTrayCommands& operator=(const CTrayCommands&) = delete;

    // Start-up: open the port and send the start byte; when it cannot be opened, tell the user, then
    // listen for the device and retry the port. True when the port is open.
    bool OpenAtStart();
    // The item at position 2 of the menu: Disable while the device is enabled (connected, retrying or
    // listening), Enable while it is disabled.
    // The shared flag follows the port first: the editor's start sets it to 1 whatever the driver's
    // port is doing.
    TrayItem ToggleItem();
    // Carry out a command of the menu (0: the menu was dismissed).
    TrayOutcome Run(unsigned commandId);

    // The port's reader found the port gone (told on the window thread). Nothing happens unless the
    // driver was connected: a late notice after Disable or Exit is stale.
    void PortLost();
    // A tick of the retry timer: open the port again when a try is due.
    void RetryTick();
    // Resume from sleep or a device arrival: while retrying, try at once; while listening, listen on
    // the ports there are now.
    void RetryNow();
    // The listener heard a whole press on COM`port` first (told on the window thread): that port is
    // stored and opened, and gets the start byte. A late notice after Disable or Exit is stale.
    void PortFound(int port);
    // COM`port` is the stored port now, whoever stored it: the driver moves to it, unless disabled.
    void PortChosen(int port);
    PortState State() const;
    // Whether the stored port is tried every retry period.
    bool Retrying() const { return retry_.Active(); }
    int Port() const { return port_; }

    // The start byte to the device, when the driver is enabled; false when the port did not take it
    // (the link has then reported the port lost).
    bool SendStartByte();
    // The editor's main window, when a process named "qvl2" runs; else none.
    WindowId FindEditor();

    void OpenEditor();
    void Disable();
    void Enable();
    // Close the port in use (if any) and listen for the device on every port, that one too.
    void FindDevice();
    TrayOutcome Reload();
    TrayOutcome Exit();

private:
    // Stop the reader thread: the question it may be waiting on first, then the port; then let go of
    // whatever the device's presses hold down.
    void CloseLink();
    // CloseLink while the driver goes on (with another port, or retrying): questions may come again.
    void ClosePort();
    // One try to open the lost port; once it takes the start byte the user is told it is back.
    void TryReopen();
    void StartRetrying();
    // Open the stored port and send the start byte; false when it could not be opened.
    bool OpenAndStart();
    // The stored port cannot be opened: listen for the device on every listed port and try the stored
    // one every retry period.
    void LookForDevice();
    void Listen();
    // Stop listening and retrying, and close the port: nothing of the device is heard any more.
    void StopAll();

    DeviceLink& link_;
    PortListener& listener_;
    SerialPortSource& list_;
    CSharedInfo& shared_;
    ProcessSource& processes_;
    const TextCase& textCase_;
    Desktop& desktop_;
    DriverShell& shell_;
    int port_;
    CRetrySchedule retry_;
    // The port was lost and not back when the user chose Disable: Enable then goes on retrying
    // instead of showing the box about a port that cannot be opened.
    bool lostWhenDisabled_ = false;
};

} // namespace qvl
