// The window a tool run shows once it takes longer than a second: which tool
// runs on which file, the seconds gone by, and 中止, which stops the run.
// While a run is watched, the program handles only what this window needs:
// the strip takes no command and no hot key, and no timer of the program runs.
#pragma once

#include <windows.h>

#include <string>

#include "tools/tool_run.h"

INT_PTR CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class RunProgress : public RunWatch {
 public:
  RunProgress() = default;
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;
  // A quit message that came during the run is posted again.
  ~RunProgress() override;

  void Begin(const char* tool, const std::string& path) override;
  bool ShouldStop() override;
  void End() override;

  // Whether the user stopped a run.
  bool Stopped() const { return stopped_; }
  void RequestStop() { stopRequested_ = true; }

 private:
  void PumpMessages();
  void Show();
  void ShowSeconds(DWORD seconds);

  HWND window_ = nullptr;
  std::string what_;
  DWORD started_ = 0;
  DWORD shownSeconds_ = 0;
  bool stopRequested_ = false;
  bool stopped_ = false;
  bool quit_ = false;
  WPARAM quitCode_ = 0;
};
