// The line jump for Windows' own notepad, which has no option for a line:
// its window on the file is found and its caret moved to the line.
#pragma once

#include <string>

// Moves the caret of the notepad window showing file to line (1 for the
// first), scrolls it into view and brings that window to the front. A file
// without such a window is opened first with notepadSetting. False when no
// window could be found.
bool ShowNotepadAt(const std::string& notepadSetting, const std::string& file, long line);
