// Numeric ids of the setup program's resources and controls.
#pragma once

#define IDI_SETUP 104

// INST dialog
#define IDC_INST_GREETING 1006
#define IDC_INST_EDITOR 1001
#define IDC_INST_BROWSE 1002
#define IDC_INST_OK 1003
#define IDC_INST_CANCEL 1004

// OK dialog
#define IDC_DONE_FINISH 1005
