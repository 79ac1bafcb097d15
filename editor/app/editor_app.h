// The editor's application object: starts the single-document editor titled "Quorvel 2" over the
// shared block, keeps the preferences and the overview font, and runs the Preferences dialog.
#pragma once

#include "appbase/message_boxes_win32.h"
#include "appbase/module_strings_win32.h"
#include "appbase/qvl_app_win32.h"
#include "appbase/run_entry.h"
#include "editor/app/editor_trace.h"
#include "editor/app/collection_ui.h"
#include "editor/app/command_line.h"
#include "editor/app/editor_views.h"
#include "base/unique_handle_win32.h"
#include "framework/single_doc_template.h"
#include "model/keyset_lock_win32.h"
#include "model/keyset_watch_win32.h"
#include "model/code_page_win32.h"
#include "model/keyset_registry.h"
#include "model/prefs_storage.h"
#include "model/registry_win32.h"
#include "model/text_case_win32.h"

#include <memory>
#include <string>

namespace qvl {

class CMainFrame;
class CQVLsetDoc;

class CEditorApp : public CQVLApp {
public:
    // `commandLine` is what follows the program's name; a keyset file named there is imported once
    // the editor has started.
    CEditorApp(HINSTANCE instance, std::string commandLine);
    ~CEditorApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    // The framework's idle work, then the assignment save that a key release asked for.
    bool OnIdle(long count) override;
    // Accelerators and the form's keyboard navigation, then the modeless overview window.
    bool PreTranslateMessage(MSG& message) override;

    // The preferences: created with their defaults and overwritten by the stored ones.
    void ReadPrefs();
    // Take over what others stored since the editor last read or wrote the preferences, where the
    // editor has not changed it itself (the Preferences dialog opens with it).
    void RefreshPrefs();
    // Write the preferences (Port and Prefs), keeping what others stored in the meantime where the
    // editor changed nothing.
    StoreResult WritePrefs();
    // Tell the user, in a box, the text of string `stringId` with "%1" replaced by why `failed` failed.
    void TellStoreFailure(unsigned stringId, const StoreResult& failed);
    Preferences* GetPrefs() const { return prefs_.get(); }

    // Whether the top-level window titled "Quorvel 2" is the foreground window.
    bool IsEditorForeground() const;
    // The fixed-pitch font of the keyset overview.
    HFONT GetOverviewFont() const { return static_cast<HFONT>(overviewFont_.Get()); }
    // Set when an edit is to be saved once the message queue is empty.
    void SetPendingSave() { pendingSave_ = 1; }
    int GetPendingSave() const { return pendingSave_; }

    // The "&Keysets" submenu: append the item of the next keyset (id 2000 + items before it), or
    // empty it.
    void AppendKeysetMenuItem(const std::string& name);
    void ClearKeysetsMenu();
    HMENU GetKeysetsMenu() const;

    CQVLsetDoc* GetDocument() const;
    CMainFrame* GetMainFrame() const;
    HWND GetMainHandle() const;

    KeysetStorage Storage() { return KeysetStorage{registry_, lock_, textCase_, watch_}; }
    Win32MessageBoxes& Boxes() { return boxes_; }
    const StringSource& Strings() const { return strings_; }
    const TextCase& Case() const { return textCase_; }
    RunKeyEntry& Autostart() { return autostart_; }
    const std::string& Title() const { return title_; }
    // The editor's windows: the program's entry hands them over before Run.
    void SetViews(EditorViews& views) { views_ = &views; }
    // The dialogs of the commands on all keysets at once, handed over the same way.
    void SetCollectionDialogs(CollectionUi& dialogs) { collectionDialogs_ = &dialogs; }
    CollectionUi& CollectionDialogs() const { return *collectionDialogs_; }
    // The template list and texts of the text commands, handed over the same way.
    void SetTextDialogs(TextUi& dialogs) { textDialogs_ = &dialogs; }
    TextUi& TextDialogs() const { return *textDialogs_; }
    const CodePage& Codes() const { return codePage_; }
    // QVL2.exe /import, /export or /?: the work done through the commands without the main window; the
    // program's exit code (editor_command_line.cpp).
    int RunCommandLine(const CommandLineRequest& request);
    EditorViews* Views() const { return views_; }
    // The start's trace, when it was asked for (null otherwise).
    void SetTrace(CEditorTrace* trace) { trace_ = trace; }
    CEditorTrace* Trace() const { return trace_; }
    // The editor's own program file.
    std::string GetModulePath() const;

private:
    void CreateOverviewFont();
    // Why a store write failed, in the system's words (or the program's, for a lock not had).
    std::string StoreFailureReason(const StoreResult& failed) const;
    void OnPreferences();

    std::string title_;
    std::string commandLine_;
    Win32Registry registry_;
    Win32KeysetLock lock_;
    Win32KeysetWatch watch_;
    Win32MessageBoxes boxes_;
    ModuleStrings strings_;
    SystemTextCase textCase_;
    RunKeyEntry autostart_{registry_};
    std::unique_ptr<Preferences> prefs_;
    Preferences seen_; // what the store held when the editor last read or wrote it
    GdiObjectHandle overviewFont_;
    std::unique_ptr<framework::SingleDocTemplate> template_;
    EditorViews* views_ = nullptr;
    CollectionUi* collectionDialogs_ = nullptr;
    TextUi* textDialogs_ = nullptr;
    Win32CodePage codePage_;
    CEditorTrace* trace_ = nullptr;
    int pendingSave_ = 0;
};

// The overview font's height: 10 on the NT family, 11 on Windows 95 and 98.
int OverviewFontHeight(const std::string& osName);

} // namespace qvl
