// QVL2.exe, the keyset editor: the application and its windows, joined here, where both may be seen.
#include "base/trace_file_win32.h"
#include "editor/app/editor_app.h"
#include "editor/app/editor_trace.h"
#include "editor/views/collection_dialogs.h"
#include "editor/views/editor_windows.h"
#include "editor/views/text_dialogs.h"

#include <windows.h>

#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // The start's trace, when asked for, begins here, at the program's entry.
    const std::unique_ptr<qvl::Win32TraceFile> traceFile =
        qvl::Win32TraceFile::FromEnvironment(qvl::kEditorTraceVariable);
    std::unique_ptr<qvl::CEditorTrace> trace;
    if (traceFile != nullptr) {
        trace = std::make_unique<qvl::CEditorTrace>(*traceFile);
        trace->Start();
    }
    qvl::CEditorApp app(instance, commandLine != nullptr ? commandLine : "");
    app.SetTrace(trace.get());
    // /import, /export and /? do their work without the editor's windows.
    const qvl::CommandLineRequest request = qvl::ParseCommandLine(commandLine != nullptr ? commandLine : "");
    if (request.action != qvl::CommandLineRequest::Action::kEditor)
        return app.RunCommandLine(request);
    qvl::CEditorWindows windows(app);
    app.SetViews(windows);
    qvl::CCollectionDialogs collectionDialogs(app);
    app.SetCollectionDialogs(collectionDialogs);
    qvl::CTextDialogs textDialogs(app);
    app.SetTextDialogs(textDialogs);
    return app.Run();
}
