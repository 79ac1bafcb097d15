// QVL2.exe /import, /export and /?: the editor's commands over its store, without its windows.
#include "base/unique_handle_win32.h"
#include "editor/app/collection_parts.h"
#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "framework/string_table.h"

namespace qvl {

static_assert(kCommandLineNoKeysetId == IDS_COMMAND_LINE_NO_KEYSET && kCommandLineKindId == IDS_COMMAND_LINE_KIND);

namespace {

// Write `text` where the program's standard output or error goes: the handle it was given (a file, a
// pipe, the console of a script), else the console of the program that started it, if any. A program
// without a console of its own gets none from the system.
void Print(DWORD which, const std::string& text) {
    HANDLE handle = GetStdHandle(which);
    KernelHandle console;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return;
        console.Reset(CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  0, nullptr));
        handle = console.Get();
        if (!console)
            return;
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

const char* ActionName(CommandLineRequest::Action action) {
    switch (action) {
        case CommandLineRequest::Action::kImport:
            return "import";
        case CommandLineRequest::Action::kExport:
            return "export";
        case CommandLineRequest::Action::kHelp:
            return "help";
        default:
            return "wrong";
    }
}

} // namespace

int CEditorApp::RunCommandLine(const CommandLineRequest& request) {
    DeterminePlatformName();
    if (!CreateSharedInfo() && !GetSharedInfo()->IsMapped())
        CreatePrivateSharedInfo();
    CommandLineUi ui(strings_, request.conflict,
                     [this](const StoreResult& failed) { return StoreFailureReason(failed); });
    bool done = false;
    if (request.action == CommandLineRequest::Action::kHelp) {
        Print(STD_OUTPUT_HANDLE, framework::LoadResourceString(Instance(), IDS_COMMAND_LINE_HELP));
        done = true;
    } else if (request.action == CommandLineRequest::Action::kWrong) {
        ui.told.push_back(framework::FormatResourceString(Instance(), IDS_COMMAND_LINE_WRONG, {request.wrong}));
    } else {
        // The same commands as the menus, over a list loaded (and saved) as the editor's start does.
        KeysetCommands commands(*GetSharedInfo(), strings_, Storage(), ui, textCase_);
        CollectionParts collections(commands, ui, ui, textCase_);
        commands.NewDocument();
        commands.FinishLoad();
        TextCommands text(commands, collections.Commands(), ui, ui, ui, codePage_, textCase_);
        text.LeaveCurrent();
        done = qvl::RunCommandLine(request, commands, collections.Commands(), text, ui);
    }
    const int exitCode = done && !ui.storeFailed ? 0 : 1;
    std::string reason;
    for (const std::string& told : ui.told)
        reason += told + "\n";
    if (!reason.empty())
        Print(STD_ERROR_HANDLE, reason);
    if (trace_ != nullptr)
        trace_->CommandLine(ActionName(request.action), exitCode, reason);
    CQVLApp::ExitInstance();
    return exitCode;
}

} // namespace qvl
