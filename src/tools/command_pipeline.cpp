// The command pipeline: which file a command works on, and the tool runs of
// its slot one after the other.
#include "tools/command_pipeline.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/process_objects.h"
#include "common/dbcs_text.h"
#include "editor/editor_tracker.h"
#include "java/compile_error.h"
#include "settings/app_settings.h"
#include "tools/applet_page.h"
#include "tools/path_ops.h"
#include "tools/run_plan.h"
#include "tools/tool_run.h"

namespace {

constexpr DWORD kCompileFirst = 1;
constexpr DWORD kThenJava = 2;
constexpr DWORD kThenAppletviewer = 6;

// What the result shows when a tool could not be run at all (no interpreter,
// no pipes), as compile-only mode says it.
const char kRunFailedText[] = "失敗しました\r\n";

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// The other program's window the user sees just beneath window in z-order.
// Hidden windows, such as the input method's default windows, and the
// program's own windows (a result window left over the editor) are passed over.
HWND VisibleWindowBeneath(HWND window) {
  HWND next = GetWindow(window, GW_HWNDNEXT);
  while (next && (!IsWindowVisible(next) || IsOwnWindow(next))) next = GetWindow(next, GW_HWNDNEXT);
  return next;
}

// Runs the tool; when it could not be run, the failure text follows what the
// run itself said (a folder that could not be entered).
RunEnd RunToolOrSayFailed(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
                          ResultText& text, ToolExit& exit) {
  const RunEnd end = RunTool(tool, call, slot, arguments, text, &exit);
  if (end == RunEnd::NotStarted) text.AppendLine(kRunFailedText);
  return end;
}

RunEnd RunAppletviewer(int slot, const std::string& path, const RunPlan& plan,
                       ToolArguments arguments, ResultText& text, ToolExit& exit) {
  std::string page = FieldText(Settings.HTMLRead, sizeof Settings.HTMLRead);
  if (!page.empty()) {
    // A drive letter and a colon make the page absolute.
    if (FindFirstChar(page, ':') != 1) page = DirectoryOf(path) + page;
    return RunToolOrSayFailed("appletviewer", CallWithJdk(plan, page), slot, arguments, text, exit);
  }
  // A class in a package is named by its qualified name from the package's
  // root, where appletviewer then runs.
  bool created = plan.package.empty()
                     ? WriteAppletPage(path, page)
                     : WriteAppletPageIn(plan.folder, plan.className + ".class", page);
  const RunEnd end =
      RunToolOrSayFailed("appletviewer", CallWithJdk(plan, page), slot, arguments, text, exit);
  // A page that was there before belongs to the user.
  if (created) DeleteFileA(page.c_str());
  return end;
}

// What javac printed: the text after the tool's own line, which starts at
// from (the whole text when the middle was left out meanwhile).
std::string ToolOutput(const ResultText& text, std::size_t from, std::size_t cutsBefore) {
  if (text.Cuts() != cutsBefore || from > text.Stored()) return text.Text();
  const char* start = text.Text() + from;
  const char* lineEnd = std::strchr(start, '\n');
  return lineEnd ? lineEnd + 1 : start;
}

}  // namespace

bool FindTargetFile(std::string& path, HWND* editorWindow) {
  HWND candidate = GetForegroundWindow();
  HWND main = Settings.MainWindow;
  if (candidate && candidate == main) {
    // A command from the strip: the editor is the window just beneath it.
    SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    candidate = VisibleWindowBeneath(main);
    SetWindowPos(main, Settings.Forground ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
  }
  std::string file;
  if (candidate) Editors.FileForWindow(candidate, file);
  if (file.empty()) return false;
  CurrentSourceFile = file;
  path = file;
  if (editorWindow) *editorWindow = candidate;
  return true;
}

RunOrigin RunSequence(int slot, const std::string& sourcePath, char* output) {
  std::string path = sourcePath;
  ResolveLongName(path);
  RunOrigin origin = {path, std::string()};
  if (slot < 0 || slot >= kSlotCount || Settings.PxsMode) return origin;

  DWORD mode = Settings.Cmd[slot].ExeMode;
  const bool compileFirst = (mode & kCompileFirst) != 0;
  mode &= ~kCompileFirst;
  if (!compileFirst && mode != kThenJava && mode != kThenAppletviewer) return origin;

  ResultText text(static_cast<std::size_t>(output - ResultBuffer));
  RunPlan plan;
  std::string refusal;
  // One JDK for the whole sequence, so that appletviewer loads what javac made.
  const ToolsNeeded needed = mode == kThenAppletviewer ? ToolsNeeded::JdkWithAppletviewer
                             : mode == kThenJava       ? ToolsNeeded::Jdk
                                                       : ToolsNeeded::JavacAlone;
  if (!PlanRun(path, needed, plan, refusal)) {
    text.Append(refusal);
    return origin;
  }
  origin.toolFolder = plan.folder;

  // The tool after a successful compile takes the slot's second arguments.
  ToolArguments arguments = ToolArguments::First;
  ToolExit exit;
  if (compileFirst) {
    const std::size_t from = text.Stored();
    const std::size_t cuts = text.Cuts();
    const RunEnd end = RunToolOrSayFailed("javac", JavacCall(plan), slot, arguments, text, exit);
    if (end == RunEnd::Stopped) return origin;
    // A compile that did not run, ended with an error code, or reported an
    // error has failed: the classes of an earlier compile must not run.
    if (end != RunEnd::Finished || exit.code != 0 ||
        ReportsCompileError(ToolOutput(text, from, cuts), path, plan.folder)) {
      text.AppendLine(NotCompiledVerdict());
      return origin;
    }
    if (mode != kThenJava && mode != kThenAppletviewer) {
      text.AppendLine(CompiledVerdict(exit.milliseconds));
      return origin;
    }
    arguments = ToolArguments::Second;
  }

  const RunEnd end = mode == kThenJava
                         ? RunToolOrSayFailed("java", JavaCall(plan), slot, arguments, text, exit)
                         : RunAppletviewer(slot, path, plan, arguments, text, exit);
  if (end == RunEnd::Finished && exit.codeKnown)
    text.AppendLine(ExitCodeVerdict(exit.code, exit.milliseconds));
  return origin;
}

bool RunCommand(int slot, char* output, RunOrigin* origin, HWND* editorWindow) {
  if (slot < 0 || slot >= kSlotCount) return false;
  std::string path;
  if (!FindTargetFile(path, editorWindow)) return false;
  const RunOrigin ran = RunSequence(slot, path, output);
  if (origin) *origin = ran;
  return true;
}
