#include "editor/views/prefs_dialog.h"

#include "editor/app/editor_app.h"
#include "editor/app/preferences.h"
#include "editor/res/resource.h"
#include "framework/controls.h"
#include "framework/string_table.h"

#include <string>

namespace qvl {

CPrefsDialog::CPrefsDialog(CEditorApp& app) : Dialog(app.Instance(), IDD_PREFERENCES), app_(app) {
    if (const PrefsRecord* prefs = app.GetPrefs()) {
        comPort = prefs->comPort;
        loadAtStart = prefs->loadAtStart != 0 ? 1 : 0;
    }
    notes_ = ReadNotes(app.Storage().registry);
    noteKeyset = notes_.keyset ? 1 : 0;
    noteActions = notes_.actions ? 1 : 0;
}

bool CPrefsDialog::OnInitDialog() {
    framework::ComboBox ports;
    if (ports.AttachItem(Handle(), IDC_COM_PORT)) {
        for (int port = 1; port <= kComPortCount; ++port)
            ports.AddString(
                framework::FormatResourceString(app_.Instance(), IDS_COM_PORT_ITEM, {std::to_string(port)}));
    }
    return Dialog::OnInitDialog();
}

void CPrefsDialog::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Check(IDC_LOAD_AT_START, loadAtStart);
    exchange.ListIndex(IDC_COM_PORT, comPort);
    exchange.Check(IDC_NOTE_KEYSET, noteKeyset);
    exchange.Check(IDC_NOTE_ACTIONS, noteActions);
}

void CPrefsDialog::OnOK() {
    Dialog::OnOK();
    PrefsRecord* prefs = app_.GetPrefs();
    if (prefs == nullptr)
        return;
    // What could not be written is told; the record holds the choice (and the Run entry as it is), and
    // the editor writes it again at its end.
    StoreResult result =
        ApplyPreferences(PreferencesChoice{comPort, loadAtStart}, app_.GetModulePath(), app_.Autostart(), *prefs);
    result.Note(app_.WritePrefs());
    NoteSettings notes;
    notes.keyset = noteKeyset != 0;
    notes.actions = noteActions != 0;
    const StoreResult notesWritten = WriteNotes(app_.Storage().registry, notes);
    result.Note(notesWritten);
    // The driver reads the note settings again when it hears that the keysets changed.
    if (notesWritten.Done() && NoteSettingsBits(notes) != NoteSettingsBits(notes_))
        app_.SetKeysetsChanged(1);
    if (!result.Done())
        app_.TellStoreFailure(IDS_PREFS_NOT_SAVED, result);
}

} // namespace qvl
