// The program's one configuration record: loaded from the registry when it is
// constructed, written back when it is destroyed.
#pragma once

#include <windows.h>

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
  AppSettings();
  virtual ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  void LoadSettings();
  void SaveSettings() const;

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
