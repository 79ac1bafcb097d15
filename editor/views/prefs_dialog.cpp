#include "editor/views/prefs_dialog.h"

#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "framework/controls.h"
#include "framework/string_table.h"
#include "model/serial_ports_win32.h"
#include "model/shared_names.h"

#include <string>

namespace qvl {

CPrefsDialog::CPrefsDialog(CEditorApp& app) : Dialog(app.Instance(), IDD_PREFERENCES), app_(app) {
    if (const Preferences* prefs = app.GetPrefs()) {
        port = prefs->port;
        loadAtStart = prefs->record.loadAtStart != 0 ? 1 : 0;
    }
    notes_ = ReadNotes(app.Storage().registry);
    noteKeyset = notes_.keyset ? 1 : 0;
    noteActions = notes_.actions ? 1 : 0;
    OnCommand(IDC_FIND_DEVICE, [this] { FindDevice(); });
}

bool CPrefsDialog::OnInitDialog() {
    FillPortBox();
    return Dialog::OnInitDialog();
}

void CPrefsDialog::FillPortBox() {
    Win32SerialPortSource system;
    portItems_ = PortBoxItems(ListSerialPorts(system), port,
                              framework::LoadResourceString(app_.Instance(), IDS_PORT_NOT_PRESENT));
    framework::ComboBox box;
    if (!box.AttachItem(Handle(), IDC_COM_PORT))
        return;
    // The list as wide as its longest text; the box keeps its width.
    const HWND handle = GetDlgItem(Handle(), IDC_COM_PORT);
    const HDC dc = GetDC(handle);
    const HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(handle, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const PortItem& item : portItems_) {
        const int index = box.AddString(item.text);
        SIZE size = {};
        GetTextExtentPoint32A(dc, item.text.c_str(), static_cast<int>(item.text.size()), &size);
        widest = size.cx > widest ? size.cx : widest;
        if (item.port == port)
            box.SetCurSel(index);
    }
    SelectObject(dc, font);
    ReleaseDC(handle, dc);
    SendMessageA(handle, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 2 * GetSystemMetrics(SM_CXVSCROLL)), 0);
}

void CPrefsDialog::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Check(IDC_LOAD_AT_START, loadAtStart);
    exchange.Check(IDC_NOTE_KEYSET, noteKeyset);
    exchange.Check(IDC_NOTE_ACTIONS, noteActions);
}

bool CPrefsDialog::TakePort() {
    const HWND box = GetDlgItem(Handle(), IDC_COM_PORT);
    char text[512] = {};
    GetWindowTextA(box, text, sizeof text);
    if (const std::optional<int> chosen = ChosenPort(text, portItems_)) {
        port = *chosen;
        return true;
    }
    const std::string said = framework::FormatResourceString(app_.Instance(), IDS_PORT_NAME_REFUSED, {text});
    app_.Boxes().Show(said.c_str(), nullptr, MessageIcon::kWarning);
    SetFocus(box);
    SendMessageA(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return false;
}

void CPrefsDialog::OnOK() {
    if (!TakePort())
        return; // nothing stored; the dialog stays
    Dialog::OnOK();
    Preferences* prefs = app_.GetPrefs();
    if (prefs == nullptr)
        return;
    // What could not be written is told; the preferences hold the choice (and the Run entry as it
    // is), and the editor writes them again at its end. The driver takes a new port over at once.
    StoreResult result =
        ApplyPreferences(PreferencesChoice{port, loadAtStart}, app_.GetModulePath(), app_.Autostart(), *prefs);
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

void CPrefsDialog::FindDevice() {
    const HWND driver = FindWindowA(kDriverWindowClass, kDriverWindowTitle);
    const UINT message = RegisterWindowMessageA(kFindDeviceMessageName);
    if (driver == nullptr || message == 0 || !PostMessageA(driver, message, 0, 0)) {
        const std::string text = framework::LoadResourceString(app_.Instance(), IDS_NO_DRIVER);
        app_.Boxes().Show(text.c_str(), nullptr, MessageIcon::kWarning);
        return;
    }
    SetDlgItemTextA(Handle(), IDC_PORT_NOTE,
                    framework::LoadResourceString(app_.Instance(), IDS_FINDING_DEVICE).c_str());
}

} // namespace qvl
