// Numeric ids of the program's resources and controls.
#pragma once

#define IDI_PELLARO 112
#define IDI_JAVA_DOCUMENT 122

// RESULT window
#define IDC_RESULT_SAVE 1009
#define IDC_RESULT_CLOSE 1063
#define IDC_RESULT_TEXT 1098

// Toolbar strip of four 16 x 16 images: three commands and the settings gear.
#define IDB_TOOLBAR 108

// The strip (MAIN and TOOLWND): toolbar and its commands
#define IDC_TOOLBAR 100
#define IDC_COMMAND1 101
#define IDC_COMMAND2 102
#define IDC_COMMAND3 103
#define IDC_SETTINGS 104

// Popup menu of the strip
#define IDM_COMMAND1 40002
#define IDM_COMMAND2 40003
#define IDM_COMMAND3 40004
#define IDM_OPTIONS 40007
#define IDM_EXIT 40008

// EDITOR dialog
#define IDC_EDITOR_PATH 1006
#define IDC_EDITOR_BROWSE 1009
#define IDC_EDITOR_OK 1065

// PROGRESS window of a tool run that takes its time (its button is IDCANCEL)
#define IDC_PROGRESS_WHAT 1301
#define IDC_PROGRESS_TIME 1302
