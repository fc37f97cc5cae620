// Driving the real Pellaro.exe from a test: starting it, finding its windows,
// reading them, pressing their buttons, and the registry values it keeps.
// Every wait is bounded; a wait that runs out gives an empty answer.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "test_support.h"

// Long enough for a slow first start of the interpreter under Wine.
constexpr DWORD kUiWaitMs = 15000;

// Control ids of the RESULT window.
constexpr int kSaveButton = 1009;
constexpr int kCloseButton = 1063;
constexpr int kResultEdit = 1098;
constexpr int kResultStop = 1320;
constexpr int kResultInput = 1321;

// One process of ours (Pellaro.exe, setup.exe). Ended by force when the object goes while it still
// runs, so a test that failed midway leaves nothing behind.
class PellaroProcess {
 public:
  PellaroProcess() = default;
  ~PellaroProcess() { EndIfRunning(); }
  PellaroProcess(PellaroProcess&&) = default;
  PellaroProcess& operator=(PellaroProcess&& other) noexcept {
    EndIfRunning();
    process_ = std::move(other.process_);
    id_ = other.id_;
    return *this;
  }

  bool Started() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  // True once the process has ended, waiting at most timeoutMs.
  bool WaitForExit(DWORD timeoutMs = kUiWaitMs) const;
  // STILL_ACTIVE while it runs.
  DWORD ExitCode() const;
  void EndIfRunning();

 private:
  friend PellaroProcess StartCommandLine(const std::string&, const std::string&);
  UniqueHandle process_;
  DWORD id_ = 0;
};

// Starts this command line, in workingFolder when one is given, as Explorer
// does: without a console or standard handles. It inherits this process's
// environment.
PellaroProcess StartCommandLine(const std::string& commandLine,
                                const std::string& workingFolder = "");
// Starts the built Pellaro.exe with this argument text.
PellaroProcess StartPellaro(const std::string& arguments, const std::string& workingFolder = "");

// The visible RESULT windows of the process, front first; the first, or null.
std::vector<HWND> FindResultWindows(DWORD pid);
HWND FindResultWindow(DWORD pid);
HWND WaitForResultWindow(DWORD pid, DWORD timeoutMs = kUiWaitMs);
// Whichever shows first: the RESULT window or an owner-less message box.
HWND WaitForResultOrMessageBox(DWORD pid, DWORD timeoutMs = kUiWaitMs);
// A visible dialog of the process with this caption, or null after the wait.
HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs = kUiWaitMs);
// A visible message box of the process owned by owner (null: owned by nothing).
HWND WaitForMessageBox(DWORD pid, HWND owner, DWORD timeoutMs = kUiWaitMs);
// True once the window has been destroyed.
bool WaitUntilGone(HWND window, DWORD timeoutMs = kUiWaitMs);
// True once the window's thread has come back to its message loop, so that
// whatever it was doing (writing a saved file, say) is done.
bool WaitUntilIdle(HWND window);

// True once done() is, polling until the time runs out.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kUiWaitMs);

// The floating strip (MAIN) of the process once it shows its toolbar, or null.
HWND WaitForStrip(DWORD pid, DWORD timeoutMs = kUiWaitMs);
// The strip's toolbar, or null.
HWND StripToolbar(HWND strip);
// Screen rectangle of the strip's toolbar button at index (separators count).
RECT ToolbarButtonRect(HWND strip, int index);
// The visible popup menu window of the process, or null after the wait.
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs = kUiWaitMs);

// Real input, as the user gives it: the mouse at a screen point, and keys
// pressed together then released in reverse order (virtual-key codes).
void ClickAt(POINT screen, bool rightButton = false);
void HoverAt(POINT screen);
void DoubleClickAt(POINT screen);
void DragFromTo(POINT from, POINT to);
void PressKeys(std::initializer_list<WORD> keys);
POINT CenterOf(const RECT& rect);
// Makes a window of another process the foreground window, waiting until it is.
bool BringToFront(HWND window);

// Text of a window of another process, asked with WM_GETTEXT.
std::string WindowText(HWND window);
// The whole text of the RESULT window's text field.
std::string ResultText(HWND result);
std::string MessageBoxText(HWND box);

// Clicks the button: its parent gets the button's click notification.
void PressButton(HWND dialog, int id);
// Sends a command and returns once the dialog procedure has handled it, as
// the dialog manager does for Enter (IDOK) and Escape (IDCANCEL).
void SendCommand(HWND dialog, int id);
// The system close command, as the caption's close button sends it.
void CloseFromSystemMenu(HWND window);

RECT OuterRect(HWND window);

// A window's place as the program stores it: outer top-left corner and size.
struct WindowPlace {
  LONG x = 0;
  LONG y = 0;
  LONG width = 0;
  LONG height = 0;
};
inline bool operator==(const WindowPlace& a, const WindowPlace& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline void PrintTo(const WindowPlace& p, std::ostream* out) {
  *out << "(" << p.x << ", " << p.y << ") " << p.width << " x " << p.height;
}
WindowPlace PlaceOf(HWND window);
// LogPosX, LogPosY, LogSizeX, LogSizeY as stored; false when one is missing.
bool StoredResultPlace(WindowPlace& place);
void StoreResultPlace(const WindowPlace& place);

// Position of child within its parent's client area.
RECT RectInParent(HWND child);

// The save picker: puts text into its file name field; clicks its OK button
// (the picker then closes, opens a typed folder, or asks a question).
void TypeFileName(HWND picker, const std::string& text);
void PressPickerOk(HWND picker);

// Values under HKCU\Software\DrussetAPP\Pellaro\<key> (AppData, Cmd1 ...).
void StoreText(const std::string& key, const std::string& name, const std::string& text);
void StoreNumber(const std::string& key, const std::string& name, DWORD value);
// The stored text, or "<missing>" when there is none.
std::string StoredText(const std::string& key, const std::string& name);
// The stored number as a signed value; false when it is missing or not 4 bytes.
bool StoredNumber(const std::string& key, const std::string& name, LONG& value);

// A Wine setting for Pellaro.exe alone while the object lives (see
// ScopedWineSetting).
class ScopedWineAppSetting : public ScopedWineSetting {
 public:
  ScopedWineAppSetting(const std::string& subkey, const std::string& name, const std::string& value)
      : ScopedWineSetting("Pellaro.exe", subkey, name, value) {}
};

// Wine reports Windows 98 to Pellaro.exe.
class ScopedWin98 : public ScopedWineAppSetting {
 public:
  ScopedWin98() : ScopedWineAppSetting("", "Version", "win98") {}
};

// Pellaro's windows are left to Wine rather than to an X window manager. With
// no window manager running (Xvfb alone), Wine otherwise waits 2 s for one to
// withdraw every top-level window that is hidden, so each dialog closed by a
// test would cost 2 s.
class ScopedUnmanagedWindows : public ScopedWineAppSetting {
 public:
  ScopedUnmanagedWindows() : ScopedWineAppSetting("X11 Driver", "Managed", "N") {}
};

// The screen's DPI as Wine gives it to each program started while the object
// lives (HKCU\Control Panel\Desktop, LogPixels); the value before is put back.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi);
  ~ScopedLogPixels();
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

 private:
  DWORD old_ = 0;
  bool had_ = false;
};
