#include "driver/core/tray_commands.h"

#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "driver/res/resource.h"

#include <string>
#include <utility>
#include <vector>

namespace qvl {

CTrayCommands::CTrayCommands(DeviceLink& link, CSharedInfo& shared, ProcessSource& processes, const TextCase& textCase,
                             Desktop& desktop, DriverShell& shell, int comPort)
    : link_(link), shared_(shared), processes_(processes), textCase_(textCase), desktop_(desktop), shell_(shell),
      comPort_(comPort) {}

bool CTrayCommands::OpenAtStart() {
    if (link_.Open(comPort_)) {
        SendStartByte();
        return true;
    }
    shared_.SetPortOpen(0);
    shell_.ShowPortError();
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
    retry_.Stop();
    CloseLink();
    shared_.SetPortOpen(0);
    shell_.PortStateChanged();
}

void CTrayCommands::Enable() {
    shell_.ResumeQuestions();
    if (!link_.Open(comPort_)) {
        if (std::exchange(lostWhenDisabled_, false)) {
            StartRetrying(); // the user was told when it was lost; it is still away
            return;
        }
        shell_.ShowPortError();
        return;
    }
    lostWhenDisabled_ = false;
    shared_.SetPortOpen(1);
    SendStartByte();
    shell_.PortStateChanged();
}

void CTrayCommands::PortLost() {
    if (retry_.Active() || !link_.IsOpen())
        return;
    CloseLink();
    // Nothing can hold the reader any more; the next connection may ask again.
    shell_.ResumeQuestions();
    shared_.SetPortOpen(0);
    shell_.Notify(IDS_PORT_LOST);
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
}

void CTrayCommands::TryReopen() {
    retry_.Tried(shell_.NowMs());
    if (!link_.Open(comPort_))
        return;
    shared_.SetPortOpen(1);
    if (!SendStartByte()) {
        // A port that opens but takes nothing (a stalled adapter) is still away: closed again without
        // a word, and the retrying goes on (the link's own notice of the loss finds it retrying). The
        // next try counts from now, after the write's wait, so the window thread is free in between.
        CloseLink();
        shell_.ResumeQuestions();
        shared_.SetPortOpen(0);
        retry_.Tried(shell_.NowMs());
        return;
    }
    retry_.Stop();
    shell_.Notify(IDS_PORT_BACK);
    shell_.PortStateChanged();
}

TrayOutcome CTrayCommands::Reload() {
    retry_.Stop();
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
    CloseLink();
    shell_.Quit(0);
    return TrayOutcome::kQuit;
}

void CTrayCommands::CloseLink() {
    shell_.CancelQuestion();
    link_.Close();
    shell_.ReleaseHeldInput();
}

} // namespace qvl
