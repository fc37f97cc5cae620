// Numeric ids of the program's resources and controls.
#pragma once

#define IDI_PELLARO 112
#define IDI_JAVA_DOCUMENT 122

// RESULT window
#define IDC_RESULT_SAVE 1009
#define IDC_RESULT_CLOSE 1063
#define IDC_RESULT_TEXT 1098
// Shown while the run goes on: 中止, and the line the user types for the program.
#define IDC_RESULT_STOP 1320
#define IDC_RESULT_INPUT 1321

// Toolbar strip of four 16 x 16 images: three commands and the settings gear;
// the same four drawn at 24 and 32 pixels for larger DPI.
#define IDB_TOOLBAR 108
#define IDB_TOOLBAR_24 109
#define IDB_TOOLBAR_32 110

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
#define IDC_EDITOR_FOUND 1330

// PROGRESS window of a tool run that takes its time (its button is IDCANCEL)
#define IDC_PROGRESS_WHAT 1301
#define IDC_PROGRESS_TIME 1302

// Settings pages OPTION1 to OPTION3 (one per command slot)
#define IDC_CMD_EXE_MODE 1066
#define IDC_CMD_FIRST_LINE 1092
#define IDC_CMD_SECOND_LINE 1093
#define IDC_CMD_TOOLTIP 1038
#define IDC_CMD_HOTKEY 1094

// Settings page MAINOPTION
#define IDC_GEN_PATH 1081
#define IDC_GEN_PATH_BROWSE 1082
#define IDC_GEN_EDITOR 1080
#define IDC_GEN_EDITOR_BROWSE 1083
#define IDC_GEN_FOREGROUND 1079
#define IDC_GEN_KEKKA 1064
#define IDC_GEN_LINE_JUMP 1078
#define IDC_GEN_LINE_JUMP_RULE 1331
#define IDC_GEN_FUKUSUU 1106
#define IDC_GEN_FONT 1051
#define IDC_GEN_VERSION 1077

// Settings page SUBOPTION
#define IDC_EXT_DOS_PROMPT 1070
#define IDC_EXT_HEIGHT 1095
#define IDC_EXT_WIDTH 1096
#define IDC_EXT_CLASS_CMD_LINE 1084
#define IDC_EXT_HTML_READ 1091
#define IDC_EXT_PARAM_LIST 1085
#define IDC_EXT_PARAM_ADD 1086
#define IDC_EXT_PARAM_DELETE 1087
#define IDC_EXT_PARAM_CHANGE 1088
#define IDC_EXT_PARAM_OUTPUT 1089
#define IDC_EXT_JDK_FOLDER 1110
#define IDC_EXT_JDK_BROWSE 1111
#define IDC_EXT_JDK_FOUND 1112
#define IDC_EXT_FAST_JAVAC 1113
#define IDC_EXT_SHOW_HINTS 1350

// PARAM dialog (OK and cancel are IDOK and IDCANCEL)
#define IDC_PARAM_NAME 1107
#define IDC_PARAM_VALUE 1007

// VER box
#define IDC_VER_MAIL 1007
#define IDC_VER_PAGE 1103
#define IDC_VER_OK 1100

// DIALOGPROP page selector
#define IDC_SEL_PAGES 1099
#define IDC_SEL_OK 1100
#define IDC_SEL_CANCEL 1101
#define IDC_SEL_HELP 1102
