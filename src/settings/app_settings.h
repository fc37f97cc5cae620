// The program's one configuration record: loaded from the registry when it is
// constructed, written back when it is destroyed.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "settings/applet_param.h"

constexpr int kSlotCount = 3;
constexpr std::size_t kTextFieldSize = 260;
constexpr std::size_t kSizeFieldSize = 5;

// One command button.
struct CommandSlot {
  DWORD ExeMode = 1;
  char FirstCmdLine[kTextFieldSize] = {};
  char SecondCmdLine[kTextFieldSize] = {};
  char ToolTipText[kTextFieldSize] = {};
  DWORD HotKey1 = 0;  // virtual-key code
  DWORD HotKey2 = 0;  // MOD_ALT / MOD_CONTROL / MOD_SHIFT
};

class AppSettings {
 public:
  // The program's record loads at construction and saves at destruction; a
  // test program's record does neither, so it never touches the registry.
  enum class Storage { LoadAndSave, InMemoryOnly };

  explicit AppSettings(Storage storage = Storage::LoadAndSave);
  virtual ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  void LoadSettings();
  // Writes the values changed since they were loaded or last saved, and those
  // that were missing from the registry; everything else is left as stored.
  void SaveSettings();

  char editor[kTextFieldSize] = {};
  char width[kSizeFieldSize] = {};
  char height[kSizeFieldSize] = {};
  DWORD Forground = 1;
  HWND ToolWindow = nullptr;
  HWND MainWindow = nullptr;
  HINSTANCE Instance = nullptr;
  DWORD PxsMode = 0;
  char LineJump[kTextFieldSize] = {};
  DWORD Kekka = 0;
  LONG LogSizeX = 0;
  LONG LogSizeY = 0;
  LONG LogPosX = 0;
  LONG LogPosY = 0;
  LONG WindowX = 0;
  LONG WindowY = 0;
  DWORD DOSPrompt = 0;
  char ClassCmdLine[kTextFieldSize] = {};
  char HTMLRead[kTextFieldSize] = {};
  DWORD Fukusuu = 0;
  AppletParamList Param;
  LOGFONTA font = {};
  CommandSlot Cmd[kSlotCount];
  // The JDK's folder the runs take before any other; empty: found by itself.
  char JdkFolder[kTextFieldSize] = {};
  // Non-zero: javac starts with options that make a small compile quick.
  DWORD FastJavac = 1;
  // Non-zero: the result window explains common errors with hint lines.
  DWORD ShowHints = 1;

 private:
  // Index of the AppData key beside the slot keys 0 to 2.
  static constexpr int kAppDataKey = kSlotCount;
  // Every stored value in the registry table's order: its key index, name,
  // type and the bytes that saving writes for it.
  using StoredValueVisitor =
      std::function<void(int key, const char* name, DWORD type, const std::string& bytes)>;
  void ForEachStoredValue(const StoredValueVisitor& visit) const;
  // Notes, after loading, which values exist and what saving would write now.
  void RememberStoredState();

  struct StoredState {
    bool existed = false;
    std::string bytes;
  };
  Storage storage_;
  std::map<std::string, StoredState> stored_;
};

// The result window's font when none is stored.
LOGFONTA DefaultResultFont();

// Registry locations. Key names are case-insensitive: the load and save
// spellings name the same key.
extern const char kSlotKeyPaths[kSlotCount][40];
extern const char kAppDataLoadPath[];
extern const char kAppDataSavePath[];

// The process-wide record, constructed during static start-up.
extern AppSettings Settings;
