// The editor's windows as the application asks for them: the device panel its document is shown in,
// the About box, the Preferences and Window Rule dialogs, and the closing of the modeless windows at the end. The
// windows (editor/views) answer; the application logic never includes them, so the two folders depend
// one way only. The program's entry (editor/main.cpp) hands the application its windows.
#pragma once

#include "framework/view.h"

#include <memory>

namespace qvl {

class KeysetCommands;

class EditorViews {
public:
    EditorViews() = default;
    EditorViews(const EditorViews&) = delete;
    EditorViews& operator=(const EditorViews&) = delete;
    virtual ~EditorViews() = default;

    // The device panel, made for the document's template.
    virtual std::unique_ptr<framework::View> CreatePanel() = 0;
    // Make what the panel's first paint did not need; once, when it has painted. False when that
    // could not be made (the start fails, as when the panel itself cannot be made).
    virtual bool CompletePanel(framework::View& panel) = 0;
    // Store what the panel's controls hold (an edit that waited for the message queue to empty).
    virtual void SavePanelAssignment(framework::View& panel) = 0;
    // About and Preferences, modal.
    virtual void RunAbout() = 0;
    virtual void RunPreferences() = 0;
    // Edit, "Window Rule...": the current keyset's rule, modal; stored through `commands`.
    virtual void RunWindowRule(KeysetCommands& commands) = 0;
    // Close the modeless windows (the editor is ending).
    virtual void CloseAll() = 0;
};

} // namespace qvl
