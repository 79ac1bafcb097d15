// The ids and names both programs rely on to find each other and their shared state. The driver finds
// the editor by its window title and process name and forwards device controls to the editor's panel
// as these command ids; both open the shared blocks, the keyset lock and the registry root by these
// names. Changing one here changes it for both programs at once.
#pragma once

namespace qvl {

// The editor's main window title and process name (program file name, lower case, no extension).
constexpr const char* kEditorWindowTitle = "Quorvel 2";
constexpr const char* kEditorProcessName = "qvl2";
// The programs' files, side by side in one folder: the driver starts the editor from its tray menu
// and a new copy of itself to reload.
constexpr const char* kEditorProgram = "QVL2.exe";
constexpr const char* kDriverProgram = "qvl2rs.exe";
// The driver's file title (its file name without the extension) and its autostart entry: the text
// value kRunValueName under the current user's kRunKeyPath, which the editor writes.
constexpr const char* kDriverFileTitle = "qvl2rs";
constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "qvl2rs";
// The editor's device panel (a dialog child without a title) and its Test dialog's title.
constexpr const char* kEditorPanelClass = "#32770";
constexpr const char* kTestDialogTitle = "Test";

// Command ids of the editor panel's buttons, forwarded by the driver while the editor is in front.
constexpr int kEditorOption = 1008;
constexpr int kEditorShift = 1009;
constexpr int kEditorRewind = 1010;
constexpr int kEditorFastForward = 1011;
constexpr int kEditorStop = 1012;
constexpr int kEditorPlay = 1013;
constexpr int kEditorRecord = 1014;
constexpr int kEditorWheelCounterClockwise = 1015;
constexpr int kEditorWheelClockwise = 1016;
constexpr int kEditorLedOn = 1022;
constexpr int kEditorLedOff = 1023;

// Named blocks shared by the two programs, and the lock around every keyset load and save.
constexpr const char* kSharedInfoName = "QVL2SharedInfo";
constexpr const char* kDataAreaName = "QVL3DataArea";
constexpr const char* kKeysetLockName = "QVL2KeysetsLock";

// The driver's hidden window, by its class and title, and the registered message the editor posts it to
// have it look for the device on every port (the tray's Find Device).
constexpr const char* kDriverWindowClass = "QVL2DriverWnd";
constexpr const char* kDriverWindowTitle = "QLV";
constexpr const char* kFindDeviceMessageName = "QVL2FindDevice";

// The registry root of the keysets and settings, under HKEY_CURRENT_USER.
constexpr const char* kStoreRootPath = "Software\\Vendrake Electronics\\QVL2";
constexpr const char* kKeysetsKeyPath = "Software\\Vendrake Electronics\\QVL2\\Keysets";

} // namespace qvl
