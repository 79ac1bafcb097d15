// The editor's optional trace: when the environment variable QVL2_TRACE names a file, the editor
// appends a line there for each step of its start, in the driver's trace format (base/trace_line.h),
// so a benchmark can tell how long its own start took and what part of it the keysets' load was:
//
//   start t=.. frequency=10000000        the program was entered
//   glance t=..                          the document takes a first look at the keysets (enough to show
//                                        the current one)
//   paint t=..                           the device panel painted for the first time (once)
//   load t=..                            the document begins to load the keysets whole (after the paint)
//   loaded t=.. keysets=100              the keysets are loaded (and stored back where the load changed any)
//   command t=.. action="import" exit=1 reason="..."
//                                        QVL2.exe /import, /export or /? ended (no window was shown): its
//                                        exit code and what went wrong (the lines of standard error)

#pragma once

#include "base/trace_line.h"

#include <string>

namespace qvl {

constexpr const char* kEditorTraceVariable = "QVL2_TRACE";

class CEditorTrace {
public:
    explicit CEditorTrace(TraceWriter& writer) : writer_(writer) {}
    CEditorTrace(const CEditorTrace&) = delete;
    CEditorTrace& operator=(const CEditorTrace&) = delete;

    void Start();
    void Glance();
    void Load();
    void Loaded(int keysets);
    // Only the first paint is written.
    void Painted();
    void CommandLine(const std::string& action, int exitCode, const std::string& reason);

private:
    TraceLine Line(const char* kind) { return TraceLine(kind, writer_.Now()); }

    TraceWriter& writer_;
    bool painted_ = false;
};

} // namespace qvl
