// Resource ids of the editor. The driver relies on several of them: it sends the device panel the
// commands of its buttons, and finds the editor by the title in string 61259.
#pragma once

// Menu, accelerators and icon of the main frame; the device panel's form has the same number.
#define IDR_MAINFRAME 131
#define IDD_QVLSET_FORM 131
#define IDD_PREFERENCES 167

// Keyset commands (the document).
#define ID_NEW_KEYSET 32771
#define ID_IMPORT_KEYSET 57601
#define ID_EXPORT_KEYSET 57604
#define ID_COPY_KEYSET 32782
#define ID_PASTE_KEYSET 32783
#define ID_CLEAR_KEYSET 32784
#define ID_DELETE_KEYSET 32775
// Device panel commands.
#define ID_DISPLAY_KEYSET 32787
#define ID_KEYSET_FIRST 2000
#define ID_KEYSET_LAST 2099
#define ID_TEST 1017
#define ID_HELP_FINDER 57667
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
// Application commands.
#define ID_PREFERENCES 32773
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the device panel and of the Preferences dialog.
#define IDC_NAME 1000
#define IDC_WHEEL_SPEED 1002
#define IDC_CAPTURE 1003
#define IDC_KEY_PRESS 1004
#define IDC_WHEEL_SPEED_LABEL 1005
#define IDC_MOUSE_EMULATION 1006
#define IDC_KEYSET_CAPTION 1007
#define IDC_OPTION 1008
#define IDC_SHIFT 1009
#define IDC_REWIND 1010
#define IDC_FAST_FORWARD 1011
#define IDC_STOP 1012
#define IDC_PLAY 1013
#define IDC_RECORD 1014
#define IDC_CCWHEEL 1015
#define IDC_CWHEEL 1016
#define IDC_CONTROL_CAPTION 1019
#define IDC_SLOWER 1020
#define IDC_FASTER 1021
#define IDC_LED_ON 1022
#define IDC_LED_OFF 1023
#define IDC_MOUSE_CLICK 1086
#define IDC_SPECIAL_KEY 1089
#define IDC_COM_PORT 1050
#define IDC_LOAD_AT_START 1051
// The Preferences dialog's port: what it says under the port box, and its button that has the driver
// look for the device on every port.
#define IDC_PORT_NOTE 1052
#define IDC_FIND_DEVICE 1053

// The on-screen note's settings in the Preferences dialog.
#define IDC_NOTE_KEYSET 1750
#define IDC_NOTE_ACTIONS 1751

// The panel's pictures that are not buttons: the strip along the bottom, the name plate and the
// transport symbols.
#define IDB_STRIP 136
#define IDB_NAME_PLATE 137
#define IDB_PLAY_SYMBOL 138
#define IDB_RECORD_SYMBOL 139
#define IDB_FAST_FORWARD_SYMBOL 140
#define IDB_REWIND_SYMBOL 141
#define IDB_STOP_SYMBOL 142

// Positions in the main menu: the "&Edit" menu and its "&Keysets" submenu.
#define MENU_POS_EDIT 1
#define MENU_POS_KEYSETS 12

// Strings.
#define IDS_WHEEL 129
#define IDS_FAST_FORWARD 61204
#define IDS_WHEEL_SPEED 61317
#define IDS_CAPTURE_IN 61254
#define IDS_CAPTURE_PRESS 61257
#define IDS_KEYSET_CAPTION 61258
#define IDS_TITLE 61259
#define IDS_JOG 61263
#define IDS_OPTION 61264
#define IDS_SHIFT 61265
#define IDS_CAPTURE_WHEEL 61266
#define IDS_RIGHT_CLICK 61267
#define IDS_LEFT_CLICK 61268
#define IDS_HORIZONTAL_MOVE 61271
#define IDS_DELETE_QUESTION 61278
#define IDS_IMPORT_REPLACE_QUESTION 61279
#define IDS_NEW_REPLACE_QUESTION 61280
#define IDS_TEST_INSTRUCTIONS 61319
#define IDS_ALTERNATE_WHEEL 61320
#define IDS_NAME_TOO_LONG 62001
#define IDS_NEW_KEYSET_TITLE 62002
#define IDS_IMPORT_KEYSET_TITLE 62003
#define IDS_EXPORT_KEYSET_TITLE 62004
#define IDS_TARGET_FILTER 62005
#define IDS_KEYSET_FILTER 62006
// The Preferences dialog's port box: a stored port the system does not list ("%1" its name), a
// typed name that names no port ("%1"), the driver not running, and the driver looking for the device.
#define IDS_PORT_NOT_PRESENT 62007
#define IDS_PORT_NAME_REFUSED 62008
#define IDS_NO_DRIVER 62009
#define IDS_FINDING_DEVICE 62034
// The captions of the panel's editing controls, which the panel paints.
#define IDS_NAME_CAPTION 62010
#define IDS_KEY_PRESS_CAPTION 62011
#define IDS_SPECIAL_KEY_CAPTION 62012
#define IDS_MOUSE_EMULATION_CAPTION 62013
// Keyset files that cannot be imported or exported.
#define IDS_NOT_A_KEYSET_FILE 62020
#define IDS_FILE_NOT_READ 62021
#define IDS_FILE_NOT_WRITTEN 62022
#define IDS_FILE_STEPS_DAMAGED 62023
// A collection whose keyset carries damaged steps (backups.rc, beside the collection's other damage).
#define IDS_DAMAGE_STEPS 62024
// What could not be stored in the registry, and why.
#define IDS_KEYSETS_NOT_SAVED 62030
#define IDS_PREFS_NOT_SAVED 62031
#define IDS_KEYSETS_LOCKED 62032
#define IDS_UNKNOWN_ERROR 62033

// The keyset overview, the Test window, the About box and the help window (editor_windows.rc).
#define IDD_KEYSET_OVERVIEW 163
#define IDD_TEST 169
#define IDD_ABOUT 175
#define IDD_HELP_WINDOW 186
#define IDB_WHEEL_LED_OFF 177
#define IDB_WHEEL_LED_ON 178
#define IDB_WHEEL_CCW 179
#define IDB_WHEEL_CW 180
#define IDB_ABOUT 184
#define IDR_HELP_TEXT 187
#define IDC_TEST_TEXT 1030
#define IDC_WHEEL_LED_ON_CELL 1074
#define IDC_WHEEL_LED_OFF_CELL 1085
#define IDC_FIRST_KEY_CELL 1500
#define IDC_LAST_KEY_CELL 1519
#define IDC_HELP_TOPICS 1600
#define IDC_HELP_TEXT 1601

// All keysets at once: export, import, the backups and restore (backups.rc), ids 1770 to 1799.
#define IDS_COLLECTION_DAMAGED 1770
#define IDS_DAMAGE_NOT_KEYSETS 1771
#define IDS_DAMAGE_VERSION 1772
#define IDS_DAMAGE_ENDS_EARLY 1773
#define IDS_DAMAGE_COUNT 1774
#define IDS_DAMAGE_CHECKSUM 1775
#define IDS_DAMAGE_RECORD 1776
#define IDS_DAMAGE_STRING 1777
#define IDS_DAMAGE_TOO_LARGE 1778
#define IDS_DAMAGE_NAME 1779
#define IDS_BACKUP_FAILED 1780
#define IDS_RESTORE_QUESTION 1781
#define IDS_NO_BACKUPS 1782
#define IDS_BACKUP_CHOICE 1783
#define IDS_BACKUP_REASON_UNKNOWN 1784
#define IDS_COLLECTION_FILTER 1785
#define IDS_IMPORT_KEYSETS_FILTER 1786
#define IDS_EXPORT_ALL_TITLE 1787
#define IDS_IMPORT_KEYSETS_TITLE 1788
#define IDS_CONFLICT_TEXT 1789
#define ID_EXPORT_ALL_KEYSETS 1790
#define ID_IMPORT_KEYSETS 1791
#define ID_RESTORE_BACKUP 1792
#define IDD_IMPORT_CONFLICT 1793
#define IDD_RESTORE_BACKUP 1794
#define IDC_CONFLICT_TEXT 1795
#define IDC_KEEP_BOTH 1796
#define IDC_SKIP 1797
#define IDC_FOR_ALL 1798
#define IDC_BACKUP_LIST 1799

// The Window Rule dialog (Edit, "Window Rule...").
#define IDD_WINDOW_RULE 1700
#define IDC_RULE_PROGRAM 1701
#define IDC_RULE_TITLE 1702
#define IDC_RULE_CLASS 1703
#define IDC_RULE_WINDOWS 1704
#define ID_WINDOW_RULE 1705

// Keysets as text and the keysets shipped as templates (templates.rc), ids 1850 to 1869.
#define IDS_TEXT_REFUSED 1850
#define ID_NEW_FROM_TEMPLATE 1851
#define IDD_NEW_FROM_TEMPLATE 1852
#define IDC_TEMPLATE_LIST 1853
#define IDS_COMMAND_LINE_HELP 1854
#define IDS_COMMAND_LINE_WRONG 1855
#define IDS_COMMAND_LINE_NO_KEYSET 1856
#define IDS_COMMAND_LINE_KIND 1857
#define IDS_RULE_KEYSET_GONE 1858
#define IDR_TEMPLATE_ARDOUR 1860
#define IDR_TEMPLATE_AUDACITY 1861
#define IDR_TEMPLATE_MPV 1862
#define IDR_TEMPLATE_OPENSHOT 1863
#define IDR_TEMPLATE_SHOTCUT 1864
#define IDR_TEMPLATE_VLC 1865

// What a press sends beyond its keystroke: the steps controls of the device panel and their texts
// (steps.rc), ids 1760 to 1769.
#define IDC_STEPS 1760
#define IDC_RELEASE_STEPS 1761
#define IDC_REPEAT 1762
#define IDC_STEPS_NOTE 1763
#define IDS_STEPS_CAPTION 1764
#define IDS_RELEASE_CAPTION 1765
#define IDS_STEPS_UNREADABLE 1766
#define IDS_RELEASE_UNREADABLE 1767
#define IDS_REPEAT 1768
