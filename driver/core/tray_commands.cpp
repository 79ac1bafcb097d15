#include "driver/core/tray_commands.h"

#include "driver/core/control_dispatcher.h"
#include "driver/device/device_decoder.h"
#include "driver/res/resource.h"

#include <string>
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
    return open != 0 ? TrayItem{IDS_DISABLE, ID_DISABLE} : TrayItem{IDS_ENABLE, ID_ENABLE};
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

void CTrayCommands::SendStartByte() {
    if (shared_.GetPortOpen() == 0)
        return;
    const std::uint8_t start = kStartByte;
    link_.WriterGeneric(&start, 1);
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
    CloseLink();
    shared_.SetPortOpen(0);
}

void CTrayCommands::Enable() {
    shell_.ResumeQuestions();
    if (!link_.Open(comPort_)) {
        shell_.ShowPortError();
        return;
    }
    shared_.SetPortOpen(1);
    SendStartByte();
}

TrayOutcome CTrayCommands::Reload() {
    CloseLink();
    shell_.ExitProcessing();
    shell_.StartProgram(kDriverProgram);
    shell_.Quit(0);
    return TrayOutcome::kQuit;
}

TrayOutcome CTrayCommands::Exit() {
    CloseLink();
    shell_.Quit(0);
    return TrayOutcome::kQuit;
}

void CTrayCommands::CloseLink() {
    shell_.CancelQuestion();
    link_.Close();
}

} // namespace qvl
