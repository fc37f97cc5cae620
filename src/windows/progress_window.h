// What the user sees of a tool run that takes longer than a second: the
// progress window (which tool runs on which file, the seconds gone by, and
// 中止), or, for a java run of the strip, its result window, live. While a
// run is watched, the program handles only what these windows need: the
// strip takes no command and no hot key, and no timer of the program runs.
#pragma once

#include <windows.h>

#include <string>

#include "tools/tool_run.h"
#include "windows/result_window.h"

INT_PTR CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class RunProgress : public RunWatch, public RunControl {
 public:
  // Compile-only mode: the progress window for every run.
  RunProgress() = default;
  // A command of the strip on sourceFile, given in commandWindow (the
  // editor): a java run that goes on shows its result window live, which
  // takes the keyboard only when the strip or commandWindow is in front.
  RunProgress(const std::string& sourceFile, HWND commandWindow)
      : sourceFile_(sourceFile), commandWindow_(commandWindow), liveResults_(true) {}
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;
  // A quit message that came during the run is posted again.
  ~RunProgress() override;

  void Begin(ToolRun& run) override;
  bool GivesInput(const char* tool) const override;
  DWORD NextWake() override;
  bool ShouldStop() override;
  void End() override;

  void Send(const std::wstring& line) override;
  void RequestStop() override { stopRequested_ = true; }

  // Whether the user stopped a run.
  bool Stopped() const { return stopped_; }
  // The live result window, if one opened (it may have been closed since).
  HWND LiveWindow() const { return live_; }

 private:
  void PumpMessages();
  bool TakesInput(const MSG& message) const;
  void Show();
  void ShowSeconds(DWORD seconds);
  void OpenLive();
  bool ShowsLive(const char* tool) const;
  bool LiveTextBehind() const;

  std::string sourceFile_;
  HWND commandWindow_ = nullptr;
  bool liveResults_ = false;
  ToolRun* run_ = nullptr;
  HWND window_ = nullptr;
  HWND live_ = nullptr;
  std::string what_;
  DWORD started_ = 0;
  DWORD shownSeconds_ = 0;
  DWORD liveShownAt_ = 0;
  bool stopRequested_ = false;
  bool stopped_ = false;
  bool quit_ = false;
  WPARAM quitCode_ = 0;
};
