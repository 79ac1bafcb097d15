#include "editor/app/editor_trace.h"

namespace qvl {

void CEditorTrace::Start() {
    writer_.Write(Line("start").Number("frequency", writer_.Frequency()).Str());
}

void CEditorTrace::Glance() {
    writer_.Write(Line("glance").Str());
}

void CEditorTrace::Load() {
    writer_.Write(Line("load").Str());
}

void CEditorTrace::Loaded(int keysets) {
    writer_.Write(Line("loaded").Number("keysets", keysets).Str());
}

void CEditorTrace::Painted() {
    if (painted_)
        return;
    painted_ = true;
    writer_.Write(Line("paint").Str());
}

void CEditorTrace::CommandLine(const std::string& action, int exitCode, const std::string& reason) {
    writer_.Write(Line("command").Text("action", action).Number("exit", exitCode).Text("reason", reason).Str());
}

} // namespace qvl
