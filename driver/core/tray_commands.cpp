#include "driver/core/tray_commands.h"

#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "driver/res/resource.h"

#include <string>
#include <utility>
#include <vector>

namespace qvl {

CTrayCommands::CTrayCommands(DevicePorts ports, CSharedInfo& shared, ProcessSource& processes, const TextCase& textCase,
                             Desktop& desktop, DriverShell& shell, int port)
    : link_(ports.link), listener_(ports.listener), list_(ports.list), shared_(shared), processes_(processes),
      textCase_(textCase), desktop_(desktop), shell_(shell), port_(port) {}

bool CTrayCommands::OpenAtStart() {
    if (link_.Open(port_)) {
        SendStartByte();
        return true;
    }
    shared_.SetPortOpen(0);
    shell_.ShowPortError(port_, static_cast<long>(link_.OpenError()));
    LookForDevice();
    return false;
}

TrayItem CTrayCommands::ToggleItem() {
    const int open = link_.IsOpen() ? 1 : 0;
    if (shared_.GetPortOpen() != open)
        shared_.SetPortOpen(open);
    // While the driver retries a lost port it is still enabled: Disable is what stops the retrying.
    return State() != PortState::kDisabled ? TrayItem{IDS_DISABLE, ID_DISABLE} : TrayItem{IDS_ENABLE, ID_ENABLE};
}

PortState CTrayCommands::State() const {
    if (link_.IsOpen())
        return PortState::kConnected;
    if (listener_.Listening())
        return PortState::kListening;
    return retry_.Active() ? PortState::kRetrying : PortState::kDisabled;
}

TrayOutcome CTrayCommands::Run(unsigned commandId) {
    switch (commandId) {
        case ID_EXIT:
            return Exit();
        case ID_DISABLE:
            Disable();
            break;
        case ID_ENABLE:
            Enable();
            break;
        case ID_FIND_DEVICE:
            FindDevice();
            break;
        case ID_OPEN_EDITOR:
            OpenEditor();
            break;
        case ID_RELOAD_DRIVER:
            return Reload();
        default:
            break; // dismissed
    }
    return TrayOutcome::kStay;
}

bool CTrayCommands::SendStartByte() {
    if (shared_.GetPortOpen() == 0)
        return true;
    const std::uint8_t start = kStartByte;
    return link_.WriterGeneric(&start, 1);
}

WindowId CTrayCommands::FindEditor() {
    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    processes_.GetProcessList(names, ids);
    for (const std::string& name : names) {
        if (textCase_.Lower(name) == kEditorProcessName)
            return desktop_.FindTopLevelWindow(kEditorWindowTitle);
    }
    return kNoWindow;
}

void CTrayCommands::OpenEditor() {
    const WindowId editor = FindEditor();
    if (editor != kNoWindow)
        shell_.RestoreWindow(editor);
    else
        shell_.StartProgram(kEditorProgram);
}

void CTrayCommands::Disable() {
    lostWhenDisabled_ = retry_.Active();
    StopAll();
    shell_.PortStateChanged();
}

void CTrayCommands::StopAll() {
    retry_.Stop();
    listener_.Stop();
    CloseLink();
    shared_.SetPortOpen(0);
}

void CTrayCommands::Enable() {
    shell_.ResumeQuestions();
    if (!OpenAndStart()) {
        // The user was told when it was lost (or could not be opened): no second box.
        if (!std::exchange(lostWhenDisabled_, false))
            shell_.ShowPortError(port_, static_cast<long>(link_.OpenError()));
        LookForDevice();
        return;
    }
    lostWhenDisabled_ = false;
    shell_.PortStateChanged();
}

bool CTrayCommands::OpenAndStart() {
    if (!link_.Open(port_))
        return false;
    shared_.SetPortOpen(1);
    SendStartByte();
    return true;
}

void CTrayCommands::LookForDevice() {
    retry_.Start(shell_.NowMs());
    Listen();
    shell_.PortStateChanged();
}

void CTrayCommands::Listen() {
    // A port being retried is left to the retries: they open it the moment it answers and send it the
    // start byte.
    std::vector<int> ports;
    for (const SerialPort& port : ListSerialPorts(list_)) {
        if (port.number != port_ || !retry_.Active())
            ports.push_back(port.number);
    }
    listener_.Listen(ports);
}

void CTrayCommands::FindDevice() {
    lostWhenDisabled_ = false;
    if (link_.IsOpen())
        ClosePort(); // its port is listened on with the others
    Listen();
    shell_.PortStateChanged();
}

void CTrayCommands::PortFound(int port) {
    if (!listener_.Listening())
        return;
    listener_.Stop();
    retry_.Stop();
    // The new port first, so that the driver's own watch on the stored port finds nothing to move to.
    port_ = port;
    const StoreResult stored = shell_.StorePort(port);
    if (!OpenAndStart()) {
        // Gone again between the press and now: tried every retry period, as a lost port.
        shell_.Notify(IDS_PORT_LOST, port_);
        StartRetrying();
        return;
    }
    shell_.Notify(stored.Done() ? IDS_PORT_FOUND : IDS_PORT_FOUND_NOT_STORED, port_, stored.error);
    shell_.PortStateChanged();
}

void CTrayCommands::PortChosen(int port) {
    if (port == port_)
        return;
    port_ = port;
    if (State() == PortState::kDisabled)
        return; // Enable opens it
    lostWhenDisabled_ = false;
    retry_.Stop();
    listener_.Stop(); // it may hold the new port
    if (link_.IsOpen())
        ClosePort();
    if (OpenAndStart()) {
        shell_.Notify(IDS_PORT_BACK, port_);
        shell_.PortStateChanged();
        return;
    }
    shell_.Notify(IDS_PORT_NOT_OPENED, port_, static_cast<long>(link_.OpenError()));
    LookForDevice();
}

void CTrayCommands::PortLost() {
    if (retry_.Active() || !link_.IsOpen())
        return;
    ClosePort();
    shell_.Notify(IDS_PORT_LOST, port_);
    StartRetrying();
}

void CTrayCommands::StartRetrying() {
    retry_.Start(shell_.NowMs());
    shell_.PortStateChanged();
}

void CTrayCommands::RetryTick() {
    if (retry_.Due(shell_.NowMs()))
        TryReopen();
}

void CTrayCommands::RetryNow() {
    if (retry_.Active())
        TryReopen();
    if (listener_.Listening())
        Listen(); // a port plugged in is listened on from now on
}

void CTrayCommands::TryReopen() {
    retry_.Tried(shell_.NowMs());
    if (!link_.Open(port_))
        return;
    shared_.SetPortOpen(1);
    if (!SendStartByte()) {
        // A port that opens but takes nothing (a stalled adapter) is still away: closed again without
        // a word, and the retrying goes on (the link's own notice of the loss finds it retrying). The
        // next try counts from now, after the write's wait, so the window thread is free in between.
        ClosePort();
        retry_.Tried(shell_.NowMs());
        return;
    }
    retry_.Stop();
    listener_.Stop();
    shell_.Notify(IDS_PORT_BACK, port_);
    shell_.PortStateChanged();
}

TrayOutcome CTrayCommands::Reload() {
    retry_.Stop();
    listener_.Stop();
    CloseLink();
    // The exit processing ends the driver's objects, this one among them: only the shell is used
    // after it.
    DriverShell& shell = shell_;
    shell.ExitProcessing();
    shell.StartProgram(kDriverProgram);
    shell.Quit(0);
    return TrayOutcome::kQuit;
}

TrayOutcome CTrayCommands::Exit() {
    retry_.Stop();
    listener_.Stop();
    CloseLink();
    shell_.Quit(0);
    return TrayOutcome::kQuit;
}

void CTrayCommands::ClosePort() {
    CloseLink();
    // Nothing can hold the reader any more; the next connection may ask again.
    shell_.ResumeQuestions();
    shared_.SetPortOpen(0);
}

void CTrayCommands::CloseLink() {
    shell_.CancelQuestion();
    link_.Close();
    shell_.ReleaseHeldInput();
}

} // namespace qvl
