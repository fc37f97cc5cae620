// Interactive start-up: choose and classify the file, hand it to the running
// instance or start the editor on it, make the strip, and run the message loop.
#include "app/interactive_startup.h"

#include "app/instance_channel.h"
#include "common/dbcs_text.h"
#include "dialogs/pickers.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"
#include "tools/waiting_interpreter.h"
#include "windows/editor_dialog.h"
#include "windows/main_window.h"
#include "windows/tool_window.h"

namespace {

const char kNoFileText[] = "単独では実行できません。ファイルを選んでください。";
const char kNoFileCaption[] = "実行エラー";
const char kSendFailedText[] = "メッセージの送信に失敗！";
const char kEditorFailedText[] = "エディタの起動に失敗しました";
const char kMailslotFailedText[] = "メールスロット作成に失敗しました。";
const char kMainFailedText[] = "ウインドウの作成に失敗！！";
const char kToolFailedText[] = "ツールバーの作成に失敗！！";

void Tell(const char* text, const char* caption = nullptr) {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

// Starts the stored editor on file; without one, or when it does not start,
// asks for another until one does, and keeps that one. Only an editor that
// fails to start is reported. The strip shows while the editor gets ready.
// Files handed over meanwhile wait for the editor that works.
bool StartEditor(const std::string& file) {
  const std::string stored = FieldText(Settings.editor, sizeof Settings.editor);
  if (!stored.empty() && Editors.Launch(stored, file, false)) return true;
  HoldIncomingFiles(true);
  if (!stored.empty()) Tell(kEditorFailedText);
  std::string editor;
  for (;;) {
    if (!AskForEditor(editor)) return false;
    if (Editors.Launch(editor, file, false)) break;
    Tell(kEditorFailedText);
  }
  CopyToField(Settings.editor, sizeof Settings.editor, editor);
  HoldIncomingFiles(false);
  return true;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

StartupKind ClassifyStartupFile(const std::string& path) {
  if (EndsWith(path, ".PXS") || EndsWith(path, ".pxs")) return StartupKind::SettingsFile;
  if (EndsWith(path, ".JAV") || EndsWith(path, ".java")) return StartupKind::JavaSource;
  return StartupKind::Other;
}

int RunInteractiveStartup(std::string commandLine, bool anotherInstance, HANDLE instanceMutex) {
  std::string file = ArgumentPath(commandLine);
  bool channelMade = false;
  if (file.empty()) {
    // The first instance takes files from other starts while the user still
    // picks one: they wait in the channel until the strip takes them.
    if (!anotherInstance) {
      if (!Channel.Create()) {
        Tell(kMailslotFailedText);
        return 0;
      }
      channelMade = true;
    }
    char picked[kPickerBufferSize];
    PickJavaSource(nullptr, picked);
    file = FieldText(picked, sizeof picked);
    // No file picked, but one handed over: that one is the file to work on.
    if (file.empty() && channelMade) Channel.Receive(file);
    if (file.empty()) {
      Tell(kNoFileText, kNoFileCaption);
      return 0;
    }
  }

  const StartupKind kind = ClassifyStartupFile(file);
  if (kind == StartupKind::SettingsFile) Settings.PxsMode = 1;
  if (kind == StartupKind::JavaSource && anotherInstance) {
    if (!Channel.Send(file)) Tell(kSendFailedText);
    return 0;
  }

  if (!channelMade && !Channel.Create()) {
    Tell(kMailslotFailedText);
    return 0;
  }
  HWND main = CreateMainWindow();
  if (!main) {
    Tell(kMainFailedText);
    return 0;
  }
  UpdateWindow(main);
  Settings.MainWindow = main;
  SetWindowPos(main, Settings.Forground ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);

  HWND tool = CreateToolWindow(main);
  if (!tool) {
    Tell(kToolFailedText);
    return 0;
  }
  UpdateWindow(tool);
  Settings.ToolWindow = tool;
  if (!BuildToolbar()) return 0;
  FitStripToToolbar(main);
  const bool firstPlace = !StripHasStoredPlace();
  if (firstPlace) PlaceStripFirstTime(main, std::string());
  RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

  // The strip shows first; the editor starts beside it. Once the editor is
  // ready its window may have come up over the strip: the strip goes back
  // in front and is the active window.
  if (kind == StartupKind::JavaSource && !StartEditor(file)) return 0;
  Editors.WaitUntilIdle();
  if (firstPlace && kind == StartupKind::JavaSource) PlaceStripFirstTime(main, file);
  SetWindowPos(main, Settings.Forground ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(main);
  PrepareNextRunSoon();

  const int code = RunMessageLoop();
  EndWaitingInterpreter();
  // The mutex was never owned; its name lasts until the handle closes at exit.
  ReleaseMutex(instanceMutex);
  return code;
}
