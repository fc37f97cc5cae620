// The RESULT window: shows the captured tool output, saves it to a text file,
// and remembers its place in the settings when it is closed. While a run goes
// on, a live one shows the output as it comes, takes the lines the user types
// for the program, and stops the run on 中止 or Escape.
#pragma once

#include <windows.h>

#include <string>

#include "tools/run_origin.h"

class ResultText;

INT_PTR CALLBACK ResultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens a modeless result window on the text in ResultBuffer, the output of
// the run from origin, which its line jumps read.
HWND OpenResultWindow(const RunOrigin& origin);
// Shows a modal result window on the text in ResultBuffer until it is closed.
void ShowResultWindowModal(const RunOrigin& origin);

// What a live result window asks of the run it shows.
class RunControl {
 public:
  virtual ~RunControl() = default;
  // A line the user typed, without its line end.
  virtual void Send(const std::wstring& line) = 0;
  virtual void RequestStop() = 0;
};

// Opens a result window on a run of sourceFile that goes on: titled so,
// showing text, with 中止 and the input field. It takes the keyboard only
// when takeKeyboard is set; otherwise it opens behind the window in front.
HWND OpenLiveResultWindow(const std::string& sourceFile, const ResultText& text,
                          RunControl& control, bool takeKeyboard);
// Shows what came since the last call.
void ShowLiveText(HWND window, const ResultText& text);
// The run has ended: the window shows its finished text from ResultBuffer,
// as every result window does (see SetFinishedText), for the line jumps of
// origin; 中止 goes and the input field is disabled.
void FinishLiveResultWindow(HWND window, const RunOrigin& origin);
// Whether the window shows all of text (a text whose middle was left out is
// shown whole a little later).
bool LiveTextShown(HWND window, const ResultText& text);
