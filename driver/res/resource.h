// Resource ids of the driver qvl2rs.exe: the tray icon, the tray menu and its commands, and the
// string table. Plain defines, read by the resource compiler and by the driver's code alike.
#pragma once

// The tray icon; also the id of the icon in the notification area.
#define IDI_TRAY 135
// The same icon drawn disconnected: shown while the port is lost or the device disabled.
#define IDI_TRAY_OFF 136

// The tray menu: its first pop-up holds the commands, by position.
#define IDR_TRAY_MENU 130
#define TRAY_POS_TOGGLE 2 // replaced before every display by Disable or Enable

#define ID_OPEN_EDITOR 32773
#define ID_DISABLE 32774
#define ID_ENABLE 32775
// Right after Disable/Enable, so the items above keep their places counted from the top and those
// below their places counted from the bottom.
#define TRAY_POS_FIND_DEVICE 3
#define ID_FIND_DEVICE 32776
#define ID_RELOAD_DRIVER 32771
#define ID_EXIT 32772

// Strings.
#define IDS_CLICK_QUESTION 1
#define IDS_DEFAULT 2
#define IDS_DISABLE 3
#define IDS_ENABLE 4
#define IDS_PORT_ERROR 6
#define IDS_NO_SHARED_BLOCK 7
#define IDS_CAPTION 8
// The port going away and coming back, told at the tray icon ("%1": the port's name).
#define IDS_PORT_LOST 9
#define IDS_PORT_BACK 10
// The tray icon's tip ("%1": the port's name, "%2": the keyset in use).
#define IDS_TIP_CONNECTED 11
#define IDS_TIP_RETRYING 12
#define IDS_TIP_DISABLED 13
// Looking for the device on every port, and finding it ("%1": the port; "%2": why it could not be
// opened or stored).
#define IDS_TIP_LISTENING 14
#define IDS_PORT_FOUND 15
#define IDS_PORT_FOUND_NOT_STORED 16
#define IDS_PORT_NOT_OPENED 17

// Window rules (ids 1700 to 1749). A program in front that runs above the driver ("%1": its name).
#define IDS_UNREACHABLE 1700
