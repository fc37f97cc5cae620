// Numeric ids of the program's resources and controls.
#pragma once

#define IDI_PELLARO 112
#define IDI_JAVA_DOCUMENT 122

// RESULT window
#define IDC_RESULT_SAVE 1009
#define IDC_RESULT_CLOSE 1063
#define IDC_RESULT_TEXT 1098
