// Ids of qvl_form's dialog.
#pragma once

#define IDD_FORM 100
#define IDC_FORM_NAME 1001
#define IDC_FORM_PORT 1002
#define IDC_FORM_AUTOSTART 1003
