// Target tracking: the keyset for the window in front, chosen by its program, its title and its
// class (model/window_rule.h).
#include "driver/core/control_dispatcher.h"

#include <cstring>
#include <string>
#include <vector>

namespace qvl {

namespace {

// Programs from the Store all run inside this host; their windows are children of its frame.
constexpr const char* kAppHostProcessName = "ApplicationFrameHost";

struct ProcessNames {
    const std::vector<std::string>& names;
    const std::vector<std::uint32_t>& ids;

    // The name of process `id`, or "" when the list has none.
    std::string Of(std::uint32_t id) const {
        const std::size_t count = names.size() < ids.size() ? names.size() : ids.size();
        for (std::size_t i = 0; i < count; ++i)
            if (ids[i] == id)
                return names[i];
        return std::string();
    }
};

struct OtherProcessChild {
    Desktop& desktop;
    std::uint32_t host;
    std::uint32_t found = 0;
};

// The first descendant of the host's frame that belongs to another process: the hosted app.
bool FindOtherProcess(WindowId window, void* context) {
    auto& search = *static_cast<OtherProcessChild*>(context);
    std::uint32_t processId = 0;
    if (search.desktop.WindowThreadProcess(window, processId) != 0 && processId != search.host) {
        search.found = processId;
        return false;
    }
    return true;
}

} // namespace

void CControlDispatcher::TrackForeground() {
    const WindowId foreground = desktop_.ForegroundWindow();
    // A host's frame with no app inside yet is looked into again at each event: the system puts a
    // restored app's window into a frame that is in front already.
    if (foreground == lastForeground && !reselect_ && !emptyHost_ && store_.Shared().GetKeysetsChanged() == 0) {
        // The same window: only its title can have moved on (a tab switch), and only title rules ask.
        if (chooser_.NeedsTitle() && editorForeground == 0 && !unreachable_)
            ChooseKeyset(foreground, false);
        return;
    }
    reselect_ = false;
    lastForeground = foreground;
    std::vector<RuledKeyset> ruled(static_cast<std::size_t>(store_.GetCount()));
    for (int k = 0; k < store_.GetCount(); ++k)
        ruled[static_cast<std::size_t>(k)] = RuledKeyset{store_.GetName(k), store_.GetRule(k)};
    chooser_.SetKeysets(ruled);

    std::uint32_t processId = 0;
    const std::uint32_t threadId = desktop_.WindowThreadProcess(foreground, processId);
    // The list keeps its room from one window in front to the next.
    processNames_.clear();
    processIds_.clear();
    processes_.GetProcessList(processNames_, processIds_);
    const ProcessNames processes{processNames_, processIds_};
    foregroundProgram_ = processes.Of(processId);
    editorForeground = 0;
    emptyHost_ = false;
    testDialogForeground = 0;
    unreachable_ = false;
    foregroundThreadId = threadId;
    // With no keysets at all even the editor goes unrecognised.
    if (store_.GetCount() > 0 && textCase_.Same(foregroundProgram_, kEditorProcessName)) {
        // The editor is in front: the selection stays with the keyset it shows.
        editorForeground = 1;
        char text[kWindowTextSize];
        desktop_.WindowText(foreground, text, sizeof text);
        testDialogForeground = std::strcmp(text, kTestDialogTitle) == 0 ? 1 : 0;
        if (observer_ != nullptr) {
            const int current = store_.GetCurrentIndex();
            observer_->ForegroundTracked(current, store_.GetName(current), true, testDialogForeground != 0, "");
        }
        return;
    }
    if (textCase_.Same(foregroundProgram_, kAppHostProcessName)) {
        OtherProcessChild search{desktop_, processId};
        desktop_.EnumChildWindows(foreground, FindOtherProcess, &search);
        const std::string hosted = search.found != 0 ? processes.Of(search.found) : std::string();
        emptyHost_ = hosted.empty();
        if (!hosted.empty()) {
            foregroundProgram_ = hosted;
            processId = search.found;
        }
    }
    char windowClass[kWindowTextSize] = "";
    if (chooser_.NeedsClass())
        desktop_.WindowClass(foreground, windowClass, sizeof windowClass);
    foregroundClass_ = windowClass;
    CheckReachable(processId);
    ChooseKeyset(foreground, true);
}

void CControlDispatcher::CheckReachable(std::uint32_t processId) {
    if (rights_ == nullptr || processId == 0 || !rights_->RunsAbove(processId))
        return;
    unreachable_ = true;
    // Told once per program for as long as the driver runs.
    if (!told_.insert(textCase_.Fold(foregroundProgram_)).second)
        return;
    if (observer_ != nullptr)
        observer_->ProgramUnreachable(foregroundProgram_);
}

void CControlDispatcher::ChooseKeyset(WindowId foreground, bool tell) {
    ForegroundWindow window{foregroundProgram_, std::string(), foregroundClass_};
    if (chooser_.NeedsTitle()) {
        char title[kWindowTextSize];
        desktop_.WindowText(foreground, title, sizeof title);
        window.title = title;
    }
    const KeysetChoice choice = chooser_.Choose(window);
    if (choice.index == store_.GetCurrentIndex() && !tell)
        return;
    SelectKeyset(choice.index, DescribeChoice(choice, store_.GetRule(choice.index), window.program));
}

} // namespace qvl
